// 通讯监视: every frame the library exchanges, decoded, as it happens. While the window is shown
// it is the library's traffic monitor: the exchanging thread only copies each event into a
// bounded queue, and a timer on the window's thread decodes what arrived into the list, so
// neither the line nor the window ever waits on the other.
#pragma once

#include "core/editor/InstructionCatalogue.h"
#include "core/traffic/TrafficDecoder.h"
#include "core/traffic/TrafficQueue.h"
#include "monitor/TrafficListModel.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

class CTrafficMonitorDlg : public QWidget {
    Q_OBJECT
public:
    // The catalogue of `dataFolder` names the instructions of program records.
    CTrafficMonitorDlg(const QString& dataFolder, QWidget* parent);
    ~CTrafficMonitorDlg() override;

    // Events the queue could not keep.
    static constexpr std::size_t kQueueCapacity = 4096;

    // Moves what the queue holds into the list (the timer does this every 50 ms).
    void DrainQueue();
    // Writes the rows shown (as filtered) to `path` as tab-separated UTF-8 lines: "!!" for a
    // failed exchange, time, direction, text, bytes.
    bool SaveText(const QString& path) const;

    TrafficListModel& rows() { return model_; }
    std::uint64_t droppedEvents() const { return queue_.Dropped(); }
    TrafficFilter& filter() { return filter_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void startMonitoring();
    void stopMonitoring();
    TrafficRow rowOf(const kelvane::TrafficLine& line) const;
    void saveClicked();
    void showCounts();

    kelvane::InstructionCatalogue catalogue_;
    kelvane::TrafficQueue queue_{kQueueCapacity};
    kelvane::TrafficDecoder decoder_{&catalogue_};
    TrafficListModel model_;
    TrafficFilter filter_;
    QTimer drainTimer_;
    std::int64_t wallMinusMonotonicUs_ = 0;  // turns event times into the time of day
    bool monitoring_ = false;

    QPushButton* pauseButton_ = nullptr;
    QComboBox* filterBox_ = nullptr;
    QSpinBox* maximumRowsBox_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* countLabel_ = nullptr;
};
