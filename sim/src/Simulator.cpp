#include <ravo_sim/RandomFaults.h>
#include <ravo_sim/Simulator.h>

#include "Controller.h"
#include "FaultPlan.h"
#include "ModbusSlave.h"
#include "PseudoTerminal.h"
#include "ReplySender.h"
#include "RequestFramer.h"
#include "TraceFormat.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace ravo_sim {

namespace {

using std::chrono::milliseconds;

// What the serving thread does on the line after a request was applied.
struct Response {
    Bytes reply;
    ReplySender::Timing timing;
    bool hangUp = false;
    std::optional<milliseconds> downTime;  // of a hang-up; none: for good
    milliseconds stopReading{0};           // after the reply
};

// A line change asked for by another thread: unplug (for good or for a while) or plug in.
struct LineChange {
    bool unplug = false;
    std::optional<milliseconds> downTime;
};

void openPipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
}

// One byte makes the pipe readable; a write that fails on a full pipe leaves it readable.
void poke(int writeEnd) {
    const char byte = 1;
    const ssize_t written = write(writeEnd, &byte, 1);
    (void)written;
}

void garble(Bytes& reply, RequestKind kind) {
    if (reply.size() < 4) return;
    if (kind == RequestKind::Modbus) {
        for (std::size_t i = 2; i + 2 < reply.size(); ++i) reply[i] ^= 0xA5;
        reply.back() ^= 0xFF;
        return;
    }
    for (std::size_t i = 3; i + 1 < reply.size(); ++i) reply[i] ^= 0xA5;
    reply.back() = static_cast<std::uint8_t>(frameSum(reply.data()) + 1);
}

void replaceField2(Bytes& reply, std::uint32_t value) {
    writeBigEndian32(&reply[7], value);
    reply[15] = frameSum(reply.data());
}

}  // namespace

struct Simulator::Impl final : FrameJudge {
    explicit Impl(Options opts)
        : options(std::move(opts)),
          linkPath(options.comDir + "/COM" + std::to_string(options.comNumber)),
          pty(linkPath, options.usedLine),
          sender(openWakePipe()),
          startedAt(Clock::now()) {
        openPipe(linePipe);
    }

    ~Impl() override {
        for (int end : {wakePipe[0], wakePipe[1], linePipe[0], linePipe[1]})
            if (end >= 0) close(end);
    }

    int openWakePipe() {
        openPipe(wakePipe);
        return wakePipe[0];
    }

    // FrameJudge; called with the mutex held.
    RequestKind judgeFrame(const std::uint8_t* frame) const override { return controller.judgeFrame(frame); }
    std::uint8_t ownSlaveAddress() const override { return modbus.ownAddress(); }

    void start() {
        thread = std::thread([this] { serve(); });
    }

    void stop() {
        poke(wakePipe[1]);  // never drained: the sender's waits end too
        if (thread.joinable()) thread.join();
    }

    void changeLine(const LineChange& change);
    void carryOutLineChanges();
    void unplugLocked(std::optional<milliseconds> downTime);
    void plugInLocked();
    std::optional<Clock::time_point> nextDeadline(bool reading) const;

    void serve();
    void readLine(Clock::time_point now);
    void holdClientOutput();
    void processRequests();
    Response respond(const Request& request);
    Bytes reply(const Request& request, const std::optional<Fault>& fault);
    std::array<float, 6> axisPositions(Clock::time_point now) const;

    Options options;
    std::string linkPath;
    PseudoTerminal pty;          // the serving thread's, until it has stopped
    int wakePipe[2] = {-1, -1};  // readable once the simulator stops
    int linePipe[2] = {-1, -1};  // readable while line changes wait
    ReplySender sender;
    Clock::time_point startedAt;
    RequestFramer framer;  // serving thread only
    // While the simulator takes nothing off the line: until when, and how many filler bytes
    // its next reads skip (serving thread only).
    std::optional<Clock::time_point> readingResumes;
    std::size_t fillerToSkip = 0;
    std::optional<Clock::time_point> plugInAt;  // of an unplugged line (serving thread only)
    std::thread thread;

    mutable std::mutex mutex;
    mutable std::condition_variable trafficRecorded;
    Controller controller;
    ModbusSlave modbus;
    FaultPlan faults;
    std::optional<RandomFaults> randomFaults;
    std::vector<Request> traffic;
    bool silent = false;
    bool pluggedIn = true;
    std::vector<LineChange> pendingLineChanges;
    std::uint64_t lineChangesAsked = 0, lineChangesDone = 0;
    mutable std::condition_variable lineChanged;
};

// The pty belongs to the serving thread, so other threads hand it their line changes.
void Simulator::Impl::changeLine(const LineChange& change) {
    std::unique_lock<std::mutex> lock(mutex);
    pendingLineChanges.push_back(change);
    const std::uint64_t ticket = ++lineChangesAsked;
    poke(linePipe[1]);
    lineChanged.wait(lock, [&] { return lineChangesDone >= ticket; });
}

void Simulator::Impl::carryOutLineChanges() {
    char drained[64];
    while (read(linePipe[0], drained, sizeof drained) > 0) {
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (const LineChange& change : pendingLineChanges) {
        if (change.unplug)
            unplugLocked(change.downTime);
        else
            plugInLocked();
    }
    lineChangesDone += pendingLineChanges.size();
    pendingLineChanges.clear();
    lineChanged.notify_all();
}

// Serving thread, mutex held.
void Simulator::Impl::unplugLocked(std::optional<milliseconds> downTime) {
    pty.hangUp();
    framer = RequestFramer{};
    readingResumes.reset();
    fillerToSkip = 0;
    plugInAt.reset();
    if (downTime) plugInAt = Clock::now() + *downTime;
    pluggedIn = false;
    lineChanged.notify_all();
}

// Serving thread, mutex held.
void Simulator::Impl::plugInLocked() {
    plugInAt.reset();
    try {
        pty.open();
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "ravo-sim: the line stays unplugged: %s\n", error.what());
        return;
    }
    pluggedIn = true;
    lineChanged.notify_all();
}

// When the serving thread has to act without a byte arriving.
std::optional<Clock::time_point> Simulator::Impl::nextDeadline(bool reading) const {
    std::optional<Clock::time_point> deadline;
    if (pty.masterFd() >= 0) deadline = reading ? framer.silenceDeadline() : readingResumes;
    if (plugInAt && (!deadline || *plugInAt < *deadline)) deadline = plugInAt;
    return deadline;
}

void Simulator::Impl::serve() {
    for (;;) {
        if (readingResumes && Clock::now() >= *readingResumes) readingResumes.reset();
        if (plugInAt && Clock::now() >= *plugInAt) {
            std::lock_guard<std::mutex> lock(mutex);
            plugInLocked();
        }
        const bool reading = !readingResumes;
        const auto deadline = nextDeadline(reading);
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<milliseconds>(*deadline - Clock::now());
            timeout = static_cast<int>(std::max<long>(0, left.count()));
        }
        // A negative descriptor is left out of the poll.
        pollfd fds[3] = {
            {wakePipe[0], POLLIN, 0}, {linePipe[0], POLLIN, 0}, {reading ? pty.masterFd() : -1, POLLIN, 0}};
        const int ready = poll(fds, 3, timeout);
        if (ready < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) return;
        if (fds[1].revents != 0) carryOutLineChanges();
        if (fds[2].revents & POLLIN) {
            readLine(Clock::now());
        } else if (fds[2].revents & (POLLHUP | POLLERR)) {
            // Cannot happen while the held slave is open; do not spin if it does.
            poll(fds, 1, 10);
        }
        framer.expireIfSilent(Clock::now());
        processRequests();
    }
}

void Simulator::Impl::readLine(Clock::time_point now) {
    std::uint8_t chunk[4096];
    const ssize_t count = read(pty.masterFd(), chunk, sizeof chunk);
    if (count <= 0) return;
    const std::size_t skipped = std::min(fillerToSkip, static_cast<std::size_t>(count));
    fillerToSkip -= skipped;
    if (skipped < static_cast<std::size_t>(count))
        framer.feed(chunk + skipped, static_cast<std::size_t>(count) - skipped, now);
}

// Reads what is waiting, then lets what the client sends next wait on its side of the line.
// Runs before the reply goes out, so that nothing sent after the reply can overtake the filler.
void Simulator::Impl::holdClientOutput() {
    while (pty.unreadBytes() > 0) readLine(Clock::now());
    fillerToSkip += pty.holdClientOutput();
}

void Simulator::Impl::processRequests() {
    while (pty.masterFd() >= 0) {
        Response response;
        std::string trace;
        {
            std::lock_guard<std::mutex> lock(mutex);
            std::optional<Request> request = framer.next(*this);
            if (!request) return;
            response = respond(*request);
            // Hang up before the request shows in the traffic, so that a test that saw it
            // finds the line gone.
            if (response.hangUp) unplugLocked(response.downTime);
            if (options.trace) trace = traceLine(*request, startedAt);
            traffic.push_back(std::move(*request));
        }
        trafficRecorded.notify_all();
        if (!trace.empty()) std::fprintf(stderr, "%s\n", trace.c_str());
        if (response.hangUp) continue;
        const bool stop = response.stopReading.count() > 0;
        if (stop) holdClientOutput();
        sender.send(pty.masterFd(), response.reply, response.timing);
        if (stop) readingResumes = Clock::now() + response.stopReading;
    }
}

Response Simulator::Impl::respond(const Request& request) {
    if (silent) return {};
    const int selector = request.kind == RequestKind::Record ? controller.nextRecordIndex() : request.code();
    std::optional<Fault> fault = faults.take(request.kind, selector);
    if (!fault && randomFaults) fault = randomFaults->next(request.kind, request.receivedAt);
    Response response;
    response.timing.requestStart = request.receivedAt;
    response.timing.requestLength = request.bytes.size();
    response.timing.paced = options.paced;
    if (fault && fault->action == Fault::Action::HangUp) {
        response.hangUp = true;
        if (fault->delayMs > 0) response.downTime = milliseconds(fault->delayMs);
        return response;
    }
    if (fault && fault->action == Fault::Action::Silent) return response;
    response.reply = reply(request, fault);
    if (fault && fault->action == Fault::Action::StopReading) response.stopReading = milliseconds(fault->delayMs);
    if (!fault || response.reply.empty()) return response;
    switch (fault->action) {
        case Fault::Action::ShortReply: {
            const std::size_t keep =
                std::min<std::size_t>(static_cast<std::size_t>(std::max(0, fault->length)), response.reply.size() - 1);
            response.reply.resize(keep);
            break;
        }
        case Fault::Action::CorruptReply:
            garble(response.reply, request.kind);
            break;
        case Fault::Action::Delay:
            response.timing.delay = milliseconds(fault->delayMs);
            break;

        default:
            break;
    }
    return response;
}

// Applies the request to the state and builds its proper reply (none for end frames, for
// unknown bytes and for frames to another address). Rejected records and Modbus exceptions
// leave the state alone.
Bytes Simulator::Impl::reply(const Request& request, const std::optional<Fault>& fault) {
    const auto now = Clock::now();
    const auto faultIs = [&](Fault::Action action) { return fault && fault->action == action; };
    switch (request.kind) {
        case RequestKind::Command: {
            Bytes answer = controller.handleCommand(request, now);
            const auto readBack = faults.readBack(request.code(), request.param(1));
            if (!answer.empty() && readBack) replaceField2(answer, *readBack);
            return answer;
        }
        case RequestKind::Record:
            return controller.handleRecord(request, !faultIs(Fault::Action::RejectRecord));
        case RequestKind::EndFrame:
            controller.handleEndFrame();
            return {};
        case RequestKind::Modbus:
            if (faultIs(Fault::Action::ModbusException))
                return ModbusSlave::exceptionReply(request.bytes, ModbusSlave::kSlaveDeviceFailure);
            return modbus.handle(request.bytes, axisPositions(now));
        case RequestKind::Unknown:
            break;
    }
    return {};
}

std::array<float, 6> Simulator::Impl::axisPositions(Clock::time_point now) const {
    std::array<float, 6> positions{};
    for (int axis = 1; axis <= 6; ++axis)
        positions[static_cast<std::size_t>(axis - 1)] = controller.axis(axis).position(now);
    return positions;
}

// ---------------------------------------------------------------------------------------------

Simulator::Simulator(Options options) {
    if (options.comDir.empty()) throw std::invalid_argument("simulator needs a folder for its link");
    impl_ = std::make_unique<Impl>(std::move(options));
    impl_->start();
}

Simulator::~Simulator() { impl_->stop(); }

std::string Simulator::devicePath() const { return impl_->linkPath; }

std::vector<Request> Simulator::traffic() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->traffic;
}

void Simulator::clearTraffic() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->traffic.clear();
}

bool Simulator::waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    return impl_->trafficRecorded.wait_for(lock, timeout, [&] { return impl_->traffic.size() >= count; });
}

void Simulator::unplug() { impl_->changeLine({true, std::nullopt}); }

void Simulator::unplugFor(milliseconds downTime) { impl_->changeLine({true, downTime}); }

void Simulator::plugIn() { impl_->changeLine({false, std::nullopt}); }

bool Simulator::waitUntilPluggedIn(milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    return impl_->lineChanged.wait_for(lock, timeout, [&] { return impl_->pluggedIn; });
}

void Simulator::setSilent(bool silent) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->silent = silent;
}

void Simulator::inject(const Fault& fault) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.add(fault);
}

void Simulator::clearFaults() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.clear();
}

void Simulator::overrideReadBack(int command, std::uint32_t axisMask, std::uint32_t field2) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->faults.overrideReadBack(command, axisMask, field2);
}

void Simulator::setVersion(std::uint32_t versionWord) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->controller.version = versionWord;
}

int Simulator::workMode() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->controller.workMode;
}

void Simulator::setInput(int pin, bool high) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->controller.setInput(pin, high);
}

bool Simulator::output(int pin) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return pin >= Controller::kFirstOutputPin && impl_->controller.pinLevel(pin);
}

AxisState Simulator::axis(int axis) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (axis < 1 || axis > Controller::kAxisCount) return {};
    return impl_->controller.axis(axis).snapshot(Clock::now());
}

std::array<std::int32_t, 3> Simulator::factoryDate() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->controller.factoryDate;
}

void Simulator::setFactoryDate(std::int32_t year, std::int32_t month, std::int32_t day) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->controller.factoryDate = {year, month, day};
}

LimitInputs Simulator::limitInputs(int axis) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (axis < 1 || axis > Controller::kAxisCount) return {};
    return impl_->controller.limitInputs[static_cast<std::size_t>(axis - 1)];
}

AnalogueChannelState Simulator::analogueChannel(int channel) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (channel < 1 || channel > Controller::kAnalogueChannels) return {};
    return impl_->controller.analogue[static_cast<std::size_t>(channel - 1)];
}

EncoderState Simulator::encoder(int encoder) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (encoder < 1 || encoder > Controller::kEncoders) return {};
    return impl_->controller.encoders[static_cast<std::size_t>(encoder - 1)];
}

std::vector<std::array<std::uint8_t, 16>> Simulator::program(int number) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->controller.program(number);
}

std::uint16_t Simulator::registerValue(int address) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->modbus.registerValue(address);
}

void Simulator::setRegister(int address, std::uint16_t value) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->modbus.setRegister(address, value);
}

bool Simulator::coil(int address) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->modbus.coil(address);
}

void Simulator::setCoil(int address, bool on) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->modbus.setCoil(address, on);
}

std::vector<TaughtPoint> Simulator::taughtPoints() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->modbus.taughtPoints();
}

void Simulator::setRandomFaults(const RandomFaultSettings& settings) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->randomFaults.reset();
    if (settings.rate > 0) impl_->randomFaults.emplace(settings);
}

RandomFaultCounts Simulator::randomFaultCounts() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->randomFaults ? impl_->randomFaults->counts() : RandomFaultCounts{};
}

void Simulator::forgetSettings() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Controller& controller = impl_->controller;
    for (int axis = 1; axis <= Controller::kAxisCount; ++axis) controller.axis(axis) = MotorAxis{};
    controller.limitInputs = {};
    controller.analogue = {};
    controller.encoders = {};
}

}  // namespace ravo_sim
