#include "client/chat/InfoTexts.h"
#include "BuildConfig.h"

namespace wordmoot::chat {

QString helpText() {
    return QStringLiteral("input keystrokes:\n"
                          "/\t'SAY' something to everyone\n"
                          ">\t'TELL' someone something\n"
                          ":\t'EMOTE' something, with feeling\n"
                          ",\tChange your nickname\n"
                          "\\\tSend a raw command\n"
                          "\n"
                          "raw commands:\n"
                          "approve\tapprove play\n"
                          "beep\tbeep the specified user\n"
                          "refresh\tforce board refresh\n"
                          "who\tlist connected users\n"
                          "\n"
                          "bonus blocks:\n"
                          "red\ttriple word score\n"
                          "pink\tdouble word score\n"
                          "blue\ttriple letter score\n"
                          "cyan\tdouble letter score\n");
}

QString creditsText() {
    return QStringLiteral("Wordmoot client v" WORDMOOT_VERSION "\n\n"
                          "Written by the Tavik Wordmoot developers <wordmoot@example.org>\n\n"
                          "Buggered if I know who wrote the original protocol, but thanks ;-)\n\n"
                          "Wordmoot is a trademark of its owners.\n"
                          "They had nothing to do with this client. :-)");
}

} // namespace wordmoot::chat
