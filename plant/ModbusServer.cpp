// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/ModbusServer.h"

#include <modbus.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vp7 {
namespace {

constexpr size_t kMbapBytes = ModbusConnection::kHeaderBytes; // transaction, protocol, length, unit
// Room for a burst of connections the thread has not yet accepted: beyond it the system drops them,
// and their clients try again only a second later.
constexpr int kListenBacklog = static_cast<int>(ModbusServer::kMaxClients);
// The unit id a client sends when it talks to a TCP device itself, not through a gateway.
constexpr uint8_t kUnitNotUsed = 0xFF;

void Signal(int fd) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

void Drain(int fd) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(fd, &count, sizeof count);
}

int BoundPort(int fd) {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return -1;
    return ntohs(bound.sin_port);
}

} // namespace

std::unique_ptr<ModbusServer> ModbusServer::Start(const ModbusServerOptions& options, std::string& error) {
    in_addr parsed{};
    if (inet_pton(AF_INET, options.address.c_str(), &parsed) != 1) {
        error = "not an IPv4 address: " + options.address;
        return nullptr;
    }
    if (options.port < 0 || options.port > 65535 || options.unitId < 0 || options.unitId > 255) {
        error = "port or unit id out of range";
        return nullptr;
    }
    auto listen = [&](int port) -> std::unique_ptr<ModbusServer> {
        modbus_t* context = modbus_new_tcp(options.address.c_str(), port);
        if (!context) {
            error = std::strerror(errno);
            return nullptr;
        }
        const int fd = modbus_tcp_listen(context, kListenBacklog);
        if (fd < 0) {
            const int why = errno;
            error = "port " + std::to_string(port) + ": " + std::strerror(why);
            modbus_free(context);
            errno = why;
            return nullptr;
        }
        return std::unique_ptr<ModbusServer>(new ModbusServer(options, context, fd, BoundPort(fd)));
    };
    auto server = listen(options.port);
    if (!server && errno == EACCES && options.port == kStandardPort) server = listen(kUnprivilegedPort);
    return server;
}

ModbusServer::ModbusServer(const ModbusServerOptions& options, modbus_t* context, int listenFd, int port)
    : options_(options), context_(context), listenFd_(listenFd), port_(port) {
    options_.port = port;
    stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    thread_ = std::thread([this] { Serve(); });
}

ModbusServer::~ModbusServer() {
    Signal(stopFd_);
    thread_.join();
    connections_.clear();
    close(listenFd_);
    modbus_free(context_);
    close(stopFd_);
    close(wakeFd_);
}

void ModbusServer::Publish(const modbus::PlantImage& image) {
    const std::lock_guard lock(mutex_);
    image_ = image;
    // What a client wrote reads back as written until the device has taken it.
    for (const modbus::PlantWrite& w : queued_) {
        if (w.table == modbus::PlantWrite::Table::Coil)
            image_.coils[w.address] = static_cast<uint8_t>(w.value);
        else
            image_.holding[w.address] = w.value;
    }
}

std::vector<modbus::PlantWrite> ModbusServer::TakeWrites() {
    // Cleared before the queue is taken: a write queued after that signals anew, so none waits unseen.
    Drain(wakeFd_);
    std::vector<modbus::PlantWrite> writes;
    const std::lock_guard lock(mutex_);
    writes.swap(queued_);
    return writes;
}

void ModbusServer::Serve() {
    std::vector<pollfd> fds;
    for (;;) {
        const int timeout = CloseOverdue(ModbusConnection::Clock::now());
        fds.assign({{stopFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}});
        for (const auto& c : connections_)
            fds.push_back({c->Descriptor(), POLLIN, 0});
        if (poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents) return;
        const auto now = ModbusConnection::Clock::now();
        for (size_t i = 0; i < connections_.size(); ++i) {
            if (!(fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ModbusConnection& c = *connections_[i];
            const ModbusConnection::Read read = c.ReadArrived(now);
            if (read == ModbusConnection::Read::Request && Answer(c.Descriptor(), c.Frame()))
                c.Answered(now);
            else if (read != ModbusConnection::Read::Waiting)
                connections_[i].reset(); // closed
        }
        std::erase(connections_, nullptr);
        clients_ = connections_.size();
        if (fds[1].revents & POLLIN) Accept(now);
    }
}

int ModbusServer::CloseOverdue(ModbusConnection::Clock::time_point now) {
    std::erase_if(connections_, [now](const auto& c) { return c->Deadline() <= now; });
    clients_ = connections_.size();
    if (connections_.empty()) return -1;
    auto next = connections_.front()->Deadline();
    for (const auto& c : connections_)
        next = std::min(next, c->Deadline());
    // Rounded up, so the wake comes at or after the deadline and not a millisecond early, in a loop.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count());
}

void ModbusServer::Accept(ModbusConnection::Clock::time_point now) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    // Full, a newcomer is let in rather than turned away, so that idle or half-open connections never
    // lock a control system out: the oldest connection never answered makes way, else the one idle
    // longest.
    if (connections_.size() >= kMaxClients) {
        auto leaving = std::ranges::find_if(connections_, [](const auto& c) { return !c->EverAnswered(); });
        if (leaving == connections_.end())
            leaving =
                std::ranges::min_element(connections_, {}, [](const auto& c) { return c->IdleSince(); });
        connections_.erase(leaving);
    }
    connections_.push_back(std::make_unique<ModbusConnection>(fd, options_.timeouts, now));
    clients_ = connections_.size();
}

bool ModbusServer::Answer(int fd, std::span<const uint8_t> frame) {
    const std::span<const uint8_t> pdu = frame.subspan(kMbapBytes);
    std::vector<uint8_t> response;
    if (frame[6] != options_.unitId && frame[6] != kUnitNotUsed) {
        response = {static_cast<uint8_t>(pdu[0] | modbus::kExceptionBit),
                    static_cast<uint8_t>(modbus::Exception::GatewayTargetFailed)};
    } else {
        std::vector<modbus::PlantWrite> writes;
        const std::lock_guard lock(mutex_);
        modbus::PlantImage image = image_;
        response = modbus::HandleRequest(image, options_.access, pdu, writes);
        if (!writes.empty() && queued_.size() + writes.size() > kMaxQueuedWrites) {
            response = {static_cast<uint8_t>(pdu[0] | modbus::kExceptionBit),
                        static_cast<uint8_t>(modbus::Exception::ServerBusy)};
        } else if (!writes.empty()) {
            image_ = image;
            queued_.insert(queued_.end(), writes.begin(), writes.end());
            Signal(wakeFd_);
        }
    }
    if (response.empty()) return false;
    std::vector<uint8_t> out(frame.begin(), frame.begin() + kMbapBytes);
    const size_t pduLength = response.size() + 1;
    out[4] = static_cast<uint8_t>(pduLength >> 8);
    out[5] = static_cast<uint8_t>(pduLength & 0xFF);
    out.insert(out.end(), response.begin(), response.end());
    // A client that does not read its answers is dropped rather than waited for.
    const ssize_t sent = send(fd, out.data(), out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent != static_cast<ssize_t>(out.size())) return false;
    ++served_;
    return true;
}

} // namespace vp7
