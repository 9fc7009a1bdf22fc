#include "exporter/http_server.h"

#include <gnutls/gnutls.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A scraper that stops mid-request holds a connection at most this long.
constexpr unsigned kConnectionTimeoutSeconds = 10;
constexpr unsigned kConnectionLimit = 64;
constexpr int kListenBacklog = 16;
constexpr const char* kRealm = "skyrelay-exporter";

MHD_Response* responseOf(const HttpResponse& reply) {
    MHD_Response* response = MHD_create_response_from_buffer(
        reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (response == nullptr) return nullptr;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    if (reply.status == MHD_HTTP_METHOD_NOT_ALLOWED) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    }
    return response;
}

// The scraper's user and password, freed by libmicrohttpd's own free.
struct Credentials {
    char* password = nullptr;  // before user: user's initialiser sets it
    char* user = nullptr;
    explicit Credentials(MHD_Connection* connection)
        : user(MHD_basic_auth_get_username_password(connection, &password)) {}
    ~Credentials() {
        if (password != nullptr) MHD_free(password);
        if (user != nullptr) MHD_free(user);
    }
    Credentials(const Credentials&) = delete;
    Credentials& operator=(const Credentials&) = delete;
};

MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url, const char* method,
                     const char*, const char*, std::size_t*, void**) {
    HttpServer& self = *static_cast<HttpServer*>(cls);
    if (const MHD_ConnectionInfo* tls =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_GNUTLS_SESSION)) {
        if (!self.certificateAccepted(tls->tls_session)) return MHD_NO;
    }
    const Credentials credentials(connection);
    if (!self.admits(credentials.user, credentials.password)) {
        MHD_Response* response =
            responseOf({MHD_HTTP_UNAUTHORIZED, "text/plain; charset=utf-8", "Unauthorized\n"});
        if (response == nullptr) return MHD_NO;
        // 401 with WWW-Authenticate: Basic realm="skyrelay-exporter".
        const MHD_Result queued = MHD_queue_basic_auth_fail_response(connection, kRealm, response);
        MHD_destroy_response(response);
        return queued;
    }
    const HttpResponse reply = self.answer(method, url);
    MHD_Response* response = responseOf(reply);
    if (response == nullptr) return MHD_NO;
    const MHD_Result queued = MHD_queue_response(connection, reply.status, response);
    MHD_destroy_response(response);
    return queued;
}

// Before the handshake of each connection: a scraper must show a certificate, and GnuTLS
// checks it against the client authorities in the handshake itself, so that one without is
// refused before it sends a byte of HTTP. (libmicrohttpd alone only asks for one.)
void onConnection(void*, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
    if (code != MHD_CONNECTION_NOTIFY_STARTED) return;
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_GNUTLS_SESSION);
    if (info == nullptr) return;
    const auto session = static_cast<gnutls_session_t>(info->tls_session);
    gnutls_certificate_server_set_request(session, GNUTLS_CERT_REQUIRE);
    gnutls_session_set_verify_cert(session, nullptr, 0);
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

bool HttpServer::admits(const char* user, const char* password) {
    if (!m_Auth || !m_Auth->enabled()) return true;
    if (user == nullptr || password == nullptr) return false;
    return m_Auth->check(user, password, BasicAuth::Clock::now());
}

bool HttpServer::certificateAccepted(void* tlsSession) const {
    if (!m_Tls || m_Tls->clientCa.empty()) return true;
    const auto session = static_cast<gnutls_session_t>(tlsSession);
    unsigned status = 0;
    unsigned shown = 0;
    return gnutls_certificate_get_peers(session, &shown) != nullptr && shown > 0 &&
           gnutls_certificate_verify_peers2(session, &status) == GNUTLS_E_SUCCESS && status == 0;
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

bool HttpServer::start(const ListenAddress& address, const WebSecurity& security,
                       std::string& error) {
    if (security.tls && MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES) {
        error = "this libmicrohttpd was built without TLS";
        return false;
    }
    const int fd = listenOn(address, error);
    if (fd < 0) return false;
    m_Tls = security.tls;
    m_Auth = std::make_unique<BasicAuth>(security.users);
    std::vector<MHD_OptionItem> options{
        {MHD_OPTION_LISTEN_SOCKET, fd, nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, kConnectionTimeoutSeconds, nullptr},
        {MHD_OPTION_CONNECTION_LIMIT, kConnectionLimit, nullptr},
    };
    unsigned flags = MHD_USE_EPOLL | MHD_USE_ERROR_LOG;
    if (m_Tls) {
        flags |= MHD_USE_TLS;
        options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, m_Tls->certificate.data()});
        options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, m_Tls->key.data()});
        if (!m_Tls->clientCa.empty()) {
            options.push_back({MHD_OPTION_HTTPS_MEM_TRUST, 0, m_Tls->clientCa.data()});
            options.push_back({MHD_OPTION_NOTIFY_CONNECTION,
                               reinterpret_cast<std::intptr_t>(&onConnection), nullptr});
        }
    }
    options.push_back({MHD_OPTION_END, 0, nullptr});
    // No MHD_USE_INTERNAL_POLLING_THREAD: the daemon runs only when our loop calls it.
    m_Daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &onRequest, this, MHD_OPTION_ARRAY,
                                options.data(), MHD_OPTION_END);
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
