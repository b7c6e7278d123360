#pragma once

#include <QSettings>
#include <QString>

namespace wordmoot {

// The per-user settings: the server to use, the nickname, and the newest
// client version the user has been told about. On Linux they live in
// $XDG_CONFIG_HOME/TavikWordmoot.conf.
class Settings {
public:
    Settings();

    QString text(const QString& section, const QString& key, const QString& fallback) const;
    void setText(const QString& section, const QString& key, const QString& value);

private:
    mutable QSettings store_;
};

namespace setting {
inline const QString kServer = QStringLiteral("Server");
inline const QString kClient = QStringLiteral("Client");
inline const QString kHostname = QStringLiteral("Hostname");
inline const QString kUsername = QStringLiteral("Username");
inline const QString kPort = QStringLiteral("Port");
inline const QString kAvailableVersion = QStringLiteral("AvailableVersion");
inline const QString kRobotLevel = QStringLiteral("RobotLevel"); // the computer last played
inline const QString kShowPanel = QStringLiteral("ShowPanel");   // "0": the game panel hidden
} // namespace setting

} // namespace wordmoot
