// Password hashes: the right password matches and nothing else does, and a
// hash shows nothing of its password.
#include "server/accounts/PasswordHash.h"

#include <QTest>

using namespace wordmoot::accounts;

class PasswordHashTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheRightPasswordMatches_data() {
        QTest::addColumn<QByteArray>("tried");
        QTest::addColumn<bool>("matches");
        QTest::newRow("the password") << QByteArray("correct horse") << true;
        QTest::newRow("another case") << QByteArray("Correct horse") << false;
        QTest::newRow("one byte short") << QByteArray("correct hors") << false;
        QTest::newRow("one byte more") << QByteArray("correct horse ") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("with a NUL inside") << QByteArray("correct horse\0x", 15) << false;
    }
    void onlyTheRightPasswordMatches() {
        QFETCH(QByteArray, tried);
        QFETCH(bool, matches);
        static const std::optional<QByteArray> hash = hashPassword("correct horse");
        QVERIFY(hash);
        QCOMPARE(passwordMatches(*hash, tried), matches);
    }

    // An empty password hashes too (the server refuses it before): nothing
    // reads through a null pointer.
    void anEmptyPasswordHashes() {
        const auto hash = hashPassword(QByteArrayView());
        QVERIFY(hash);
        QVERIFY(passwordMatches(*hash, QByteArray()));
        QVERIFY(!passwordMatches(*hash, "x"));
    }

    void aHashIsSaltedArgon2id() {
        const auto a = hashPassword("same password");
        const auto b = hashPassword("same password");
        QVERIFY(a && b);
        QVERIFY(a->startsWith("$argon2id$"));
        QVERIFY(*a != *b); // each its own salt
        QVERIFY(!a->contains("same password"));
        QVERIFY(passwordMatches(*b, "same password"));
    }

    void anythingElseIsNoHash_data() {
        QTest::addColumn<QByteArray>("hash");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("the password in clear") << QByteArray("same password");
        QTest::newRow("far too long") << QByteArray(4096, '$');
    }
    void anythingElseIsNoHash() {
        QFETCH(QByteArray, hash);
        QVERIFY(!passwordMatches(hash, "same password"));
    }
};

QTEST_APPLESS_MAIN(PasswordHashTest)
#include "tst_passwordhash.moc"
