// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/ModbusServer.h"

#include <modbus.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vp7 {
namespace {

constexpr size_t kMbapBytes = 7; // transaction, protocol, length, unit
// A client that stops in the middle of a frame holds the server this long at most, then is dropped.
constexpr int kByteTimeoutUs = 100'000;
constexpr int kListenBacklog = 8;
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
    modbus_set_byte_timeout(context_, 0, kByteTimeoutUs);
    thread_ = std::thread([this] { Serve(); });
}

ModbusServer::~ModbusServer() {
    Signal(stopFd_);
    thread_.join();
    for (int fd : clientFds_)
        close(fd);
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
        fds.assign({{stopFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}});
        for (int fd : clientFds_)
            fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents) return;
        std::vector<int> kept;
        for (size_t i = 2; i < fds.size(); ++i) {
            const bool keep = !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)) || Answer(fds[i].fd);
            if (keep)
                kept.push_back(fds[i].fd);
            else
                close(fds[i].fd);
        }
        clientFds_ = std::move(kept);
        clients_ = clientFds_.size();
        if (fds[1].revents & POLLIN) Accept();
    }
}

void ModbusServer::Accept() {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    // One too many is refused at once rather than left waiting; so is a descriptor beyond what the
    // library's select() can watch.
    if (clientFds_.size() >= kMaxClients || fd >= FD_SETSIZE) {
        close(fd);
        return;
    }
    clientFds_.push_back(fd);
    clients_ = clientFds_.size();
}

bool ModbusServer::Answer(int fd) {
    uint8_t frame[MODBUS_TCP_MAX_ADU_LENGTH];
    modbus_set_socket(context_, fd);
    const int length = modbus_receive(context_, frame);
    if (length <= static_cast<int>(kMbapBytes)) return false; // closed, cut off mid-frame, or garbled
    // The library finds the frame's end from its function code; a header that says otherwise, or
    // another protocol, means the stream is out of step.
    const size_t declared = static_cast<size_t>(frame[4] << 8 | frame[5]);
    size_t have = static_cast<size_t>(length);
    if (frame[2] != 0 || frame[3] != 0 || declared + 6 < have || declared + 6 > sizeof frame) return false;
    // A function the library does not know ends, for it, after the function code: the header's length
    // tells the rest, which is read here so that such a request is refused with an exception.
    while (have < declared + 6) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, kByteTimeoutUs / 1000) <= 0) return false;
        const ssize_t got = recv(fd, frame + have, declared + 6 - have, MSG_DONTWAIT);
        if (got <= 0) return false;
        have += static_cast<size_t>(got);
    }
    const std::span<const uint8_t> pdu(frame + kMbapBytes, have - kMbapBytes);
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
    std::vector<uint8_t> out(frame, frame + kMbapBytes);
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
