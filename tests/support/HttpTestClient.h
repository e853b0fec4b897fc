#pragma once

#include <memory>
#include <string>

// A blocking HTTP/1.1 client for tests and benchmarks: one kept-alive connection,
// opened again when the server has closed it. A request that gets no reply
// (refused, reset, timed out) answers status 0.
class HttpTestClient {
public:
    struct Response {
        int status = 0;
        std::string body;
    };

    // `source`, when given, is the local address to connect from (any 127.x.y.z, so that
    // one process can play clients at many addresses).
    HttpTestClient(std::string host, int port, std::string source = {});
    ~HttpTestClient();

    Response post(const std::string& target, const std::string& body,
                  const std::string& contentType = "application/x-www-form-urlencoded");
    Response get(const std::string& target);

private:
    struct Connection;

    Response send(bool post, const std::string& target, const std::string& body, const std::string& contentType);

    std::string m_host;
    int m_port;
    std::string m_source;
    std::unique_ptr<Connection> m_connection;
};
