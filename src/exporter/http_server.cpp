#include "exporter/http_server.h"

#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// A scraper that stops mid-request holds a connection at most this long.
constexpr unsigned kConnectionTimeoutSeconds = 10;
constexpr unsigned kConnectionLimit = 64;
constexpr int kListenBacklog = 16;

MHD_Result onRequest(void* self, MHD_Connection* connection, const char* url, const char* method,
                     const char*, const char*, std::size_t*, void**) {
    const HttpResponse reply = static_cast<HttpServer*>(self)->answer(method, url);
    MHD_Response* response = MHD_create_response_from_buffer(
        reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    if (reply.status == MHD_HTTP_METHOD_NOT_ALLOWED) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    }
    const MHD_Result queued = MHD_queue_response(connection, reply.status, response);
    MHD_destroy_response(response);
    return queued;
}

std::string hostText(const sockaddr_storage& address) {
    char host[NI_MAXHOST] = {};
    char port[NI_MAXSERV] = {};
    getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host,
                port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
    std::string text = host;
    if (address.ss_family == AF_INET6) {
        text.insert(text.begin(), '[');
        text += ']';
    }
    text += ':';
    text += port;
    return text;
}

}  // namespace

HttpServer::HttpServer(EventLoop& loop, Handler handler)
    : m_Loop(loop), m_Handler(std::move(handler)) {}

HttpServer::~HttpServer() {
    if (m_EpollFd >= 0) m_Loop.unwatch(m_EpollFd);
    m_Loop.setWaitLimit({});
    if (m_Daemon != nullptr) MHD_stop_daemon(m_Daemon);
}

HttpResponse HttpServer::answer(const std::string& method, const std::string& path) const {
    if (method != "GET" && method != "HEAD") {
        return {MHD_HTTP_METHOD_NOT_ALLOWED, "text/plain; charset=utf-8", "GET only\n"};
    }
    return m_Handler(path);
}

int HttpServer::listenOn(const ListenAddress& address, std::string& error) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    hints.ai_family = address.host.empty() ? AF_INET6 : AF_UNSPEC;
    const std::string port = std::to_string(address.port);
    std::string shown = address.host;
    if (shown.find(':') != std::string::npos) {
        shown.insert(shown.begin(), '[');
        shown += ']';
    }
    shown += ':';
    shown += port;
    addrinfo* found = nullptr;
    int status = getaddrinfo(address.host.empty() ? nullptr : address.host.c_str(), port.c_str(),
                             &hints, &found);
    if (status != 0 && address.host.empty()) {
        // No IPv6 on this machine: every IPv4 interface, then.
        hints.ai_family = AF_INET;
        status = getaddrinfo(nullptr, port.c_str(), &hints, &found);
    }
    if (status != 0) {
        error = shown + ": " + gai_strerror(status);
        return -1;
    }
    int fd = -1;
    for (addrinfo* at = found; at != nullptr && fd < 0; at = at->ai_next) {
        fd = socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, at->ai_protocol);
        if (fd < 0) continue;
        const int yes = 1;
        const int no = 0;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        // ":PORT" serves IPv4 too, as Prometheus' exporters do.
        if (at->ai_family == AF_INET6 && address.host.empty()) {
            setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
        }
        if (bind(fd, at->ai_addr, at->ai_addrlen) != 0 || listen(fd, kListenBacklog) != 0) {
            error = shown + ": " + std::strerror(errno);
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) return -1;
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
    m_Bound = hostText(bound);
    return fd;
}

bool HttpServer::start(const ListenAddress& address, std::string& error) {
    const int fd = listenOn(address, error);
    if (fd < 0) return false;
    // No MHD_USE_INTERNAL_POLLING_THREAD: the daemon runs only when our loop calls it.
    m_Daemon = MHD_start_daemon(MHD_USE_EPOLL | MHD_USE_ERROR_LOG, 0, nullptr, nullptr, &onRequest,
                                this, MHD_OPTION_LISTEN_SOCKET, fd, MHD_OPTION_CONNECTION_TIMEOUT,
                                kConnectionTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT,
                                kConnectionLimit, MHD_OPTION_END);
    if (m_Daemon == nullptr) {
        close(fd);
        error = m_Bound + ": the HTTP server did not start";
        return false;
    }
    m_EpollFd = MHD_get_daemon_info(m_Daemon, MHD_DAEMON_INFO_EPOLL_FD)->epoll_fd;
    m_Loop.watch(m_EpollFd, POLLIN, [this](short) { MHD_run(m_Daemon); });
    m_Loop.setWaitLimit([this]() -> std::optional<std::chrono::milliseconds> {
        runDue();
        MHD_UNSIGNED_LONG_LONG wait = 0;
        if (MHD_get_timeout(m_Daemon, &wait) != MHD_YES) return std::nullopt;
        return std::chrono::milliseconds{wait};
    });
    return true;
}

void HttpServer::runDue() {
    // A connection whose time ran out is closed only when the daemon runs.
    MHD_UNSIGNED_LONG_LONG wait = 0;
    if (MHD_get_timeout(m_Daemon, &wait) == MHD_YES && wait == 0) MHD_run(m_Daemon);
}
