#include "server/Outbox.h"

#include "server/User.h"

#include <algorithm>

namespace wordmoot::server {

void Outbox::send(User& u, ReplyCode code, QByteArrayView text) {
    if (hold_ <= kept_ && waiting_.empty())
        return u.send(code, text);
    waiting_.push_back({&u, hold_, code, text.toByteArray()});
}

void Outbox::holdUntil(quint64 ticket) {
    hold_ = std::max(hold_, ticket);
}

void Outbox::kept(quint64 kept) {
    kept_ = std::max(kept_, kept);
    while (!waiting_.empty() && waiting_.front().ticket <= kept_) {
        const Line line = std::move(waiting_.front());
        waiting_.pop_front();
        line.user->send(line.code, line.text);
    }
}

void Outbox::forget(const User& u) {
    std::erase_if(waiting_, [&u](const Line& line) { return line.user == &u; });
}

} // namespace wordmoot::server
