#pragma once

#include <QString>

namespace wordmoot {

// Where client commands go. The connection is the real one; tests record.
class CommandSink {
public:
    virtual ~CommandSink() = default;
    // Sends one command line; the line end is added by the sink.
    virtual void send(const QString& command) = 0;
};

} // namespace wordmoot
