#include "robot/WordGraph.h"

#include <QTest>

#include <random>
#include <set>

using namespace wordmoot;

namespace {

// Every string of one to four letters over A to D.
std::vector<std::string> allShortStrings() {
    std::vector<std::string> strings{""};
    for (std::size_t from = 0; from < strings.size(); ++from)
        if (strings[from].size() < 4)
            for (char letter : {'A', 'B', 'C', 'D'})
                strings.push_back(strings[from] + letter);
    strings.erase(strings.begin());
    return strings;
}

} // namespace

class WordGraphTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheListedWordsOnly_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<bool>("found");
        const QStringList shared{"CAT", "CATS", "DOG", "DOGS", "RATS"};
        QTest::newRow("word") << shared << "CATS" << true;
        QTest::newRow("word that is a prefix of another") << shared << "CAT" << true;
        QTest::newRow("prefix only") << shared << "CA" << false;
        QTest::newRow("shared ending on another stem") << shared << "RAT" << false;
        QTest::newRow("word run on") << shared << "DOGSS" << false;
        QTest::newRow("empty") << shared << "" << false;
        QTest::newRow("lower case") << shared << "cat" << false;
        QTest::newRow("lower-case input left out") << QStringList{"cat", "DOG"} << "CAT" << false;
        QTest::newRow("unsorted input") << QStringList{"ZOO", "ANT", "BEE"} << "BEE" << true;
        QTest::newRow("repeated input") << QStringList{"AN", "AN", "AT"} << "AT" << true;
        QTest::newRow("single letter") << QStringList{"A", "AB"} << "A" << true;
    }
    void findsTheListedWordsOnly() {
        QFETCH(QStringList, words);
        QFETCH(QString, probe);
        QFETCH(bool, found);
        std::vector<std::string> list;
        for (const QString& word : words)
            list.push_back(word.toStdString());
        QCOMPARE(WordGraph(list).contains(probe.toStdString()), found);
    }

    // Against a plain set over a whole small alphabet: every word is found,
    // every other string is not, and a walk succeeds exactly on prefixes.
    void agreesWithASetOnEveryShortString() {
        const std::vector<std::string> strings = allShortStrings();
        std::mt19937 random(9);
        for (int round = 0; round < 20; ++round) {
            std::set<std::string> words;
            std::set<std::string> prefixes;
            for (const std::string& s : strings)
                if (random() % 4 == 0) {
                    words.insert(s);
                    for (std::size_t n = 0; n <= s.size(); ++n)
                        prefixes.insert(s.substr(0, n));
                }
            const WordGraph graph(std::vector<std::string>(words.begin(), words.end()));
            for (const std::string& s : strings) {
                QVERIFY2(graph.contains(s) == words.contains(s), s.c_str());
                QVERIFY2((graph.walk(WordGraph::kRoot, s) != WordGraph::kNoNode) ==
                             prefixes.contains(s),
                         s.c_str());
            }
        }
    }

    // AS, BS and CS end alike, so their second letters are one node.
    void sharesEqualEndings() {
        const WordGraph graph({"AS", "BS", "CS"});
        QCOMPARE(graph.nodeCount(), std::size_t(3));
        QCOMPARE(graph.edgeCount(), std::size_t(4));
    }

    void emptyListHoldsNothing() {
        const WordGraph graph({});
        QCOMPARE(graph.letters(WordGraph::kRoot), 0u);
        QVERIFY(!graph.contains("A"));
    }
};

QTEST_APPLESS_MAIN(WordGraphTest)
#include "tst_wordgraph.moc"
