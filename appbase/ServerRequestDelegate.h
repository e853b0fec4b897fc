#pragma once

class ServerRequest;

// What a screen hears of its requests. Only a completed reply with status 200 reaches
// requestDidFinish; the busy overlay and the network toast are the request's own business.
class ServerRequestDelegate {
public:
    virtual ~ServerRequestDelegate() = default;

    virtual void requestDidFinish(ServerRequest& request) = 0;
    // A refused or failed connection, or a status other than 200 (after the toast).
    virtual void requestDidFail(ServerRequest&) {}
};
