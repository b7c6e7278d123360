// wordmoot-analyse FILE.gcg [--think-ms MS] [--words FILE]: every move of a
// finished game weighed by the champion's engine.
#include "tools/analysis/Report.h"

#include "shared/rules/WordList.h"

#include "BuildConfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace wordmoot;

namespace {

int failed(const QString& why) {
    std::fprintf(stderr, "wordmoot-analyse: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("wordmoot-analyse");
    QCoreApplication::setApplicationVersion(WORDMOOT_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription("Weighs every move of a finished game (a .gcg record).");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "the game's record");
    const QCommandLineOption think("think-ms", "How long the engine weighs each move (2000).",
                                   "MS", "2000");
    const QCommandLineOption words("words", "The word list (the game's own).", "FILE",
                                   defaultWordList().path);
    parser.addOptions({think, words});
    parser.process(app);
    bool ok = false;
    const int thinkMs = parser.value(think).toInt(&ok);
    if (parser.positionalArguments().size() != 1 || !ok || thinkMs < 1 || thinkMs > 600'000) {
        std::fputs("usage: wordmoot-analyse FILE.gcg [--think-ms 1..600000] [--words FILE]\n",
                   stderr);
        return 2;
    }
    const QString path = parser.positionalArguments().front();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(path + ": " + file.errorString());
    constexpr qint64 kMostBytes = 1 << 20; // a record is a few kilobytes
    const QByteArray text = file.read(kMostBytes + 1);
    if (text.size() > kMostBytes)
        return failed(path + ": not a game record: over a megabyte");
    const RecordReading reading = readRecord(text.toStdString());
    if (!reading.record)
        return failed(path + ':' +
                      (reading.fault.line ? QString::number(reading.fault.line) + ": " : " ") +
                      QString::fromStdString(reading.fault.why));
    const std::optional<WordList> list = WordList::load(parser.value(words));
    if (!list || list->isEmpty())
        return failed(parser.value(words) + ": no word list there");
    const robot::Brain brain(*list, robot::LeaveTable::builtIn());
    analysis::AnalysisFault fault;
    const auto analysis = analysis::analyse(brain, *reading.record, thinkMs, fault);
    if (!analysis)
        return failed(path + ':' + QString::number(fault.line) + ": " +
                      QString::fromStdString(fault.why));
    std::fputs(analysis::report(*reading.record, *analysis).c_str(), stdout);
    return 0;
}
