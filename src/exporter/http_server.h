#pragma once

#include <functional>
#include <string>

#include "exporter/event_loop.h"
#include "exporter/listen_address.h"

struct MHD_Daemon;

struct HttpResponse {
    unsigned status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

// The exporter's HTTP side: libmicrohttpd in its external-select mode, driven by the
// exporter's own loop through its epoll descriptor, with no thread of its own. Requests are
// answered at once by the handler, from the loop's thread.
class HttpServer {
public:
    using Handler = std::function<HttpResponse(const std::string& path)>;

    HttpServer(EventLoop& loop, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on address; false with the reason in error ("127.0.0.1:9877: Address already
    // in use").
    bool start(const ListenAddress& address, std::string& error);
    // Where it listens, "HOST:PORT" ("[::]:9877" for every interface).
    const std::string& boundAddress() const { return m_Bound; }

    // What a request gets: the handler's answer for GET and HEAD, 405 for any other method.
    HttpResponse answer(const std::string& method, const std::string& path) const;

private:
    int listenOn(const ListenAddress& address, std::string& error);
    void runDue();

    EventLoop& m_Loop;
    Handler m_Handler;
    MHD_Daemon* m_Daemon = nullptr;
    int m_EpollFd = -1;
    std::string m_Bound;
};
