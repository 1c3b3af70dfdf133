#pragma once
#include <functional>
#include <stdexcept>
#include <string>

// A blocking TCP client in the manner of the form library's TClientSocket:
// set Address and Port, Open connects (and throws on failure), SendBuf and
// ReceiveBuf move bytes, Close disconnects. The events fire on the thread
// that made the call.
class ClientSocket {
public:
    enum class ErrorEvent { General, Send, Receive, Connect, Disconnect };

    // Fired inside Open once the connection is up.
    using ConnectHandler = std::function<void(ClientSocket&)>;
    // Fired when sending or receiving fails, a time-out included. The
    // connection is dropped; unless the handler sets errorCode to 0, the
    // call then throws SocketError.
    using ErrorHandler = std::function<void(ClientSocket&, ErrorEvent, int& errorCode)>;

    ClientSocket() = default;
    ~ClientSocket();
    ClientSocket(const ClientSocket&) = delete;
    ClientSocket& operator=(const ClientSocket&) = delete;

    void setAddress(const std::string& address) { address_ = address; }
    const std::string& address() const { return address_; }
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }

    void setOnConnect(ConnectHandler handler) { onConnect_ = std::move(handler); }
    void setOnError(ErrorHandler handler) { onError_ = std::move(handler); }

    // Blocking connect. Throws SocketError when the address or port is not
    // valid or the peer cannot be reached (a refusal fails at once); an open
    // connection is closed first. While it waits for the peer it asks
    // abandoned() now and then and gives up when that says so, so that a
    // thread being stopped is not held by an unanswered connect.
    void open(const std::function<bool()>& abandoned = {});
    // Windows gives up an unanswered connect after about 21 s; Linux would
    // go on for two minutes.
    static constexpr int ConnectTimeoutMs = 21'000;
    bool active() const { return fd_ >= 0; }
    void close();

    // Send and receive time-outs of the open connection, in milliseconds.
    void setTimeouts(int sendMs, int receiveMs);

    // Both return the bytes moved, or -1 after an error; ReceiveBuf waits for
    // all length bytes until the receive time-out and returns what came.
    // Without a connection they move nothing and return 0.
    int sendBuf(const void* bytes, int length);
    int receiveBuf(void* bytes, int length);

private:
    int reportError(ErrorEvent event, int errorCode);

    std::string address_;
    int port_ = 0;
    int fd_ = -1;
    ConnectHandler onConnect_;
    ErrorHandler onError_;
};

class SocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
