#include "monitor/CTrafficMonitorDlg.h"

#include "common/Prompter.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <chrono>

namespace {

constexpr int kDrainIntervalMs = 50;
constexpr int kLargestMaximumRows = 1000000;

std::int64_t monotonicMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

QPushButton* button(const QString& text, const char* objectName, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(QLatin1String(objectName));
    made->setAccessibleName(text);
    return made;
}

}  // namespace

CTrafficMonitorDlg::CTrafficMonitorDlg(const QString& dataFolder, QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("通讯监视"));
    setAccessibleName(windowTitle());
    catalogue_.LoadFromDataFolder(dataFolder.toStdString());
    filter_.setSourceModel(&model_);
    buildControls();
    drainTimer_.setInterval(kDrainIntervalMs);
    connect(&drainTimer_, &QTimer::timeout, this, &CTrafficMonitorDlg::DrainQueue);
    resize(960, 560);
}

CTrafficMonitorDlg::~CTrafficMonitorDlg() { stopMonitoring(); }

void CTrafficMonitorDlg::buildControls() {
    pauseButton_ = button(QStringLiteral("暂停"), "pauseButton", this);
    pauseButton_->setCheckable(true);
    QPushButton* clearButton = button(QStringLiteral("清除"), "clearButton", this);
    QPushButton* saveButton = button(QStringLiteral("另存为文本..."), "saveButton", this);

    filterBox_ = new QComboBox(this);
    filterBox_->addItems({QStringLiteral("全部"), QStringLiteral("命令"), QStringLiteral("程序记录"),
                          QStringLiteral("Modbus"), QStringLiteral("失败")});
    filterBox_->setObjectName(QStringLiteral("filterBox"));
    filterBox_->setAccessibleName(QStringLiteral("筛选"));
    maximumRowsBox_ = new QSpinBox(this);
    maximumRowsBox_->setRange(100, kLargestMaximumRows);
    maximumRowsBox_->setSingleStep(1000);
    maximumRowsBox_->setValue(TrafficListModel::kDefaultMaximumRows);
    maximumRowsBox_->setObjectName(QStringLiteral("maximumRowsBox"));
    maximumRowsBox_->setAccessibleName(QStringLiteral("最多行数"));

    table_ = new QTableView(this);
    table_->setModel(&filter_);
    table_->setAccessibleName(QStringLiteral("通讯记录"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setColumnWidth(TrafficListModel::TimeColumn, 100);
    table_->setColumnWidth(TrafficListModel::DirectionColumn, 80);
    table_->setColumnWidth(TrafficListModel::TextColumn, 420);
    table_->horizontalHeader()->setStretchLastSection(true);
    countLabel_ = new QLabel(this);
    countLabel_->setAccessibleName(QStringLiteral("行数与丢弃数"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(pauseButton_);
    controls->addWidget(clearButton);
    controls->addWidget(new QLabel(QStringLiteral("筛选:"), this));
    controls->addWidget(filterBox_);
    controls->addWidget(new QLabel(QStringLiteral("最多行数:"), this));
    controls->addWidget(maximumRowsBox_);
    controls->addStretch();
    controls->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(table_);
    layout->addWidget(countLabel_);

    connect(clearButton, &QPushButton::clicked, this, [this] {
        model_.Clear();
        showCounts();
    });
    connect(saveButton, &QPushButton::clicked, this, &CTrafficMonitorDlg::saveClicked);
    connect(filterBox_, &QComboBox::currentIndexChanged, this,
            [this](int index) { filter_.SetMode(static_cast<TrafficFilter::Mode>(index)); });
    connect(maximumRowsBox_, &QSpinBox::valueChanged, this, [this](int rows) {
        model_.SetMaximumRows(rows);
        showCounts();
    });
    showCounts();
}

void CTrafficMonitorDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    startMonitoring();
}

// Closing (not minimising) ends the monitoring.
void CTrafficMonitorDlg::closeEvent(QCloseEvent* event) {
    stopMonitoring();
    QWidget::closeEvent(event);
}

void CTrafficMonitorDlg::startMonitoring() {
    if (monitoring_) return;
    wallMinusMonotonicUs_ = QDateTime::currentMSecsSinceEpoch() * 1000 - monotonicMicroseconds();
    decoder_ = kelvane::TrafficDecoder(&catalogue_);
    Ravo_SetTrafficMonitor(&kelvane::TrafficQueue::Receive, &queue_);
    monitoring_ = true;
    drainTimer_.start();
}

// After Ravo_SetTrafficMonitor returns the queue is no longer written to.
void CTrafficMonitorDlg::stopMonitoring() {
    if (!monitoring_) return;
    Ravo_SetTrafficMonitor(nullptr, nullptr);
    monitoring_ = false;
    drainTimer_.stop();
    DrainQueue();
}

void CTrafficMonitorDlg::DrainQueue() {
    const std::vector<kelvane::TrafficTransfer> transfers = queue_.TakeAll();
    std::vector<TrafficRow> rows;
    rows.reserve(transfers.size());
    // The decoder sees everything, so that pairing survives a pause.
    for (const kelvane::TrafficTransfer& transfer : transfers) {
        const kelvane::TrafficLine line = decoder_.Decode(transfer);
        if (!pauseButton_->isChecked()) rows.push_back(rowOf(line));
    }
    if (rows.empty()) {
        if (!transfers.empty()) showCounts();
        return;
    }
    QScrollBar* scroll = table_->verticalScrollBar();
    const bool atBottom = scroll->value() == scroll->maximum();
    model_.Append(rows);
    if (atBottom) table_->scrollToBottom();
    showCounts();
}

TrafficRow CTrafficMonitorDlg::rowOf(const kelvane::TrafficLine& line) const {
    const QDateTime time = QDateTime::fromMSecsSinceEpoch((line.timestampUs + wallMinusMonotonicUs_) / 1000);
    QString direction = line.sent ? QStringLiteral("发送") : QStringLiteral("接收");
    if (line.port > 0) direction += QStringLiteral(" COM%1").arg(line.port);
    return {time.toString(QStringLiteral("HH:mm:ss.zzz")),
            direction,
            QString::fromStdString(line.text),
            QString::fromStdString(line.bytes),
            line.kind,
            line.failed};
}

void CTrafficMonitorDlg::showCounts() {
    countLabel_->setText(QStringLiteral("显示 %1 行，共 %2 行，已丢弃 %3 个事件")
                             .arg(filter_.rowCount())
                             .arg(model_.rowCount())
                             .arg(queue_.Dropped()));
}

bool CTrafficMonitorDlg::SaveText(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    for (int row = 0; row < filter_.rowCount(); ++row) {
        QStringList cells{filter_.index(row, 0).data(TrafficListModel::FailedRole).toBool() ? QStringLiteral("!!")
                                                                                            : QString()};
        for (int column = 0; column < TrafficListModel::ColumnCount; ++column)
            cells << filter_.index(row, column).data().toString();
        file.write((cells.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
    }
    return file.flush();
}

void CTrafficMonitorDlg::saveClicked() {
    const QString path = Prompter::current().saveFileName(this, QStringLiteral("另存为文本"), QString(),
                                                          QStringLiteral("文本文件 (*.txt)"));
    if (path.isEmpty()) return;
    if (!SaveText(path))
        Prompter::current().message(this, QStringLiteral("无法写入文件 %1").arg(path), QStringLiteral("通讯监视"),
                                    Prompter::Buttons::Ok, Prompter::Icon::Warning);
}
