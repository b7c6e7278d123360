#include "client/connection/ServerAddress.h"

#include "BuildConfig.h"
#include "shared/protocol/NumericText.h"

namespace wordmoot {

QString proposeAnswer(const QString& user, const QString& host, const QString& portText) {
    QString answer = user + QLatin1Char('@') + host;
    if (numericValue(portText) != kDefaultPort)
        answer += QLatin1Char(':') + portText;
    return answer;
}

ServerAddress parseAnswer(const QString& answer, const QString& fallbackHost) {
    ServerAddress address;
    QString rest = answer;
    if (const qsizetype at = answer.indexOf(QLatin1Char('@')); at >= 0) {
        address.nickname = answer.left(at);
        rest = answer.mid(at + 1);
    }
    if (rest.isEmpty())
        rest = fallbackHost;
    if (address.nickname.isEmpty())
        address.nickname = kDefaultNickname;
    if (const qsizetype colon = rest.indexOf(QLatin1Char(':')); colon >= 0) {
        address.host = rest.left(colon);
        address.port = wholeNumber(numericValue(QStringView(rest).mid(colon + 1)));
    } else {
        address.host = rest;
    }
    return address;
}

bool storableNickname(const QString& nickname) {
    if (nickname.size() > kMaxStoredNickname)
        return false;
    for (QChar c : nickname)
        if (c.category() == QChar::Other_Control)
            return false;
    const QString host = QStringLiteral("localhost");
    return parseAnswer(proposeAnswer(nickname, host, QString::number(kDefaultPort)), host)
               .nickname == nickname;
}

std::optional<ServerAddress> askServerAddress(Dialogs& dialogs, Settings& settings) {
    using namespace setting;
    const QString host = settings.text(kServer, kHostname, QStringLiteral(WORDMOOT_DEFAULT_HOST));
    const QString user = settings.text(kServer, kUsername, kDefaultNickname);
    const QString port = settings.text(kServer, kPort, QString::number(kDefaultPort));

    const QString answer =
        dialogs.input(QStringLiteral("Which Wordmoot server do you wish to connect to?\n\n"
                                     "Enter the details in the form user@host:port"),
                      QStringLiteral("Wordmoot - Server"), proposeAnswer(user, host, port));
    if (answer.isEmpty())
        return std::nullopt;

    // An answer such as "alice@" keeps the server the user was offered.
    ServerAddress address = parseAnswer(answer, host);
    settings.setText(kServer, kUsername, address.nickname);
    settings.setText(kServer, kHostname, address.host);
    settings.setText(kServer, kPort, QString::number(address.port));
    return address;
}

} // namespace wordmoot
