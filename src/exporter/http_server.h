#pragma once

#include <functional>
#include <memory>
#include <string>

#include "exporter/basic_auth.h"
#include "exporter/event_loop.h"
#include "exporter/listen_address.h"
#include "exporter/web_security.h"

struct MHD_Daemon;

struct HttpResponse {
    unsigned status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

// The exporter's HTTP side: libmicrohttpd in its external-select mode, driven by the
// exporter's own loop through its epoll descriptor, with no thread of its own. Requests are
// answered at once by the handler, from the loop's thread. With a web configuration it speaks
// TLS (libmicrohttpd's own, through GnuTLS), may require scrapers' certificates in the
// handshake, and answers only requests with a user of basic_auth_users.
class HttpServer {
public:
    using Handler = std::function<HttpResponse(const std::string& path)>;

    HttpServer(EventLoop& loop, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on address; false with the reason in error ("127.0.0.1:9877: Address already
    // in use").
    bool start(const ListenAddress& address, const WebSecurity& security, std::string& error);
    // Where it listens, "HOST:PORT" ("[::]:9877" for every interface).
    const std::string& boundAddress() const { return m_Bound; }
    const char* scheme() const { return m_Tls ? "https" : "http"; }

    // What a request gets: the handler's answer for GET and HEAD, 405 for any other method.
    HttpResponse answer(const std::string& method, const std::string& path) const;
    // Whether the request's user and password open the door (always, without users).
    bool admits(const char* user, const char* password);
    // Whether the scraper showed a certificate the client authorities vouch for, when they
    // are asked for; the handshake has refused any other already, this keeps it so.
    bool certificateAccepted(void* tlsSession) const;

private:
    int listenOn(const ListenAddress& address, std::string& error);
    void runDue();

    EventLoop& m_Loop;
    Handler m_Handler;
    std::optional<TlsMaterial> m_Tls;  // kept: the daemon reads it from here
    std::unique_ptr<BasicAuth> m_Auth;
    MHD_Daemon* m_Daemon = nullptr;
    int m_EpollFd = -1;
    std::string m_Bound;
};
