// The Unix socket on which the running control center hears from later copies:
// plain AF_UNIX descriptors watched by the wx event loop. Each connection brings
// one short message; once it has the expected length, or the peer ends or
// fails, the bytes go to the handler and the connection closes.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/event.h>

class InstanceEndpoint : private wxEvtHandler {
public:
    // More connections than this that have not finished: the oldest is closed,
    // so a local flood can neither exhaust descriptors nor lock out a real copy.
    static constexpr std::size_t kMaxPending = 8;

    // onMessage runs from the event loop with what one connection sent (at most
    // messageLength bytes plus what arrived with the last read).
    InstanceEndpoint(std::size_t messageLength, std::function<void(const std::string&)> onMessage);
    ~InstanceEndpoint() override;  // closes every descriptor and removes the socket file

    // Binds a socket at path (mode 0600) and listens; why it could not, or empty.
    std::string Listen(const std::filesystem::path& path);

    enum class SendResult { kSent, kNoListener, kFailed };
    // Connects to path and sends message; blocks at most about `timeout` per step.
    static SendResult Send(const std::filesystem::path& path, std::string_view message,
                           std::chrono::milliseconds timeout);

private:
    class Watch;
    struct Connection;

    void AcceptAll();
    void ReadFrom(Connection& connection);
    void Finish(Connection& connection, bool deliver);

    std::size_t m_messageLength;
    std::function<void(const std::string&)> m_onMessage;
    std::filesystem::path m_path;
    std::unique_ptr<Watch> m_listener;
    std::deque<std::unique_ptr<Connection>> m_connections;  // oldest first
    // Closed connections wait here until their event-loop dispatch has returned.
    std::vector<std::unique_ptr<Connection>> m_finished;
};
