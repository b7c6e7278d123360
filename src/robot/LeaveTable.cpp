#include "robot/LeaveTable.h"

#include <QFile>

#include <charconv>
#include <cstdio>

namespace wordmoot::robot {

int LeaveTable::index(char tile) {
    if (tile >= 'A' && tile <= 'Z')
        return tile - 'A';
    return tile == '_' ? 26 : -1;
}

double LeaveTable::value(std::string_view leave) const {
    std::array<int, kTiles> counts{};
    for (const char tile : leave)
        if (const int i = index(tile); i >= 0)
            ++counts[i];
    double total = 0;
    for (int a = 0; a < kTiles; ++a) {
        if (counts[a] == 0)
            continue;
        total += single_[a] * counts[a] + duplicate_[a] * (counts[a] - 1);
        for (int b = a + 1; b < kTiles; ++b)
            if (counts[b] > 0)
                total += pair_[a][b];
    }
    return total;
}

std::string LeaveTable::text() const {
    std::string out;
    const auto line = [&out](std::string key, double v) {
        if (v == 0)
            return;
        char number[32];
        std::snprintf(number, sizeof number, "%.2f", v);
        out += key + '\t' + number + '\n';
    };
    for (int a = 0; a < kTiles; ++a)
        line(std::string(1, tile(a)), single_[a]);
    for (int a = 0; a < kTiles; ++a)
        line(std::string(2, tile(a)), duplicate_[a]);
    for (int a = 0; a < kTiles; ++a)
        for (int b = a + 1; b < kTiles; ++b)
            line(std::string{tile(a), tile(b)}, pair_[a][b]);
    return out;
}

std::optional<LeaveTable> LeaveTable::parse(std::string_view text) {
    LeaveTable table;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t tab = line.find('\t');
        const std::string_view key = line.substr(0, std::min(tab, line.size()));
        double v = 0;
        const char* first = tab == std::string_view::npos ? line.end() : line.data() + tab + 1;
        const auto [at, error] = std::from_chars(first, line.data() + line.size(), v);
        const int a = key.empty() ? -1 : index(key[0]);
        const int b = key.size() == 2 ? index(key[1]) : a;
        if (error != std::errc() || at != line.data() + line.size() || key.size() > 2 || a < 0 ||
            b < 0)
            return std::nullopt;
        if (key.size() == 1)
            table.single_[a] = v;
        else if (a == b)
            table.duplicate_[a] = v;
        else
            table.setPair(a, b, v);
    }
    return table;
}

std::optional<LeaveTable> LeaveTable::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(file.readAll().toStdString());
}

const LeaveTable& LeaveTable::builtIn() {
    static const LeaveTable table = load(":/wordmoot/leaves.tsv").value_or(LeaveTable());
    return table;
}

} // namespace wordmoot::robot
