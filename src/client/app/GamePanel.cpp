#include "client/app/GamePanel.h"

#include "client/session/GameTable.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace wordmoot {

namespace {
QLabel* label(const char* name, QWidget* parent, QLayout* layout) {
    auto* shown = new QLabel(parent);
    shown->setObjectName(QLatin1String(name));
    shown->setTextFormat(Qt::PlainText); // what the server says is shown as text
    shown->setWordWrap(true);
    layout->addWidget(shown);
    return shown;
}

QLabel* heading(const QString& text, QWidget* parent, QLayout* layout) {
    auto* shown = new QLabel(text, parent);
    QFont font = shown->font();
    font.setBold(true);
    shown->setFont(font);
    layout->addWidget(shown);
    return shown;
}
} // namespace

GamePanel::GamePanel(const GameTable& table, QWidget* parent)
    : QFrame(parent)
    , table_(table) {
    setObjectName(QStringLiteral("gamepanel"));
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Game panel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(3);
    // What is typed otherwise (START, HINT, ROBOT level), a click away.
    const auto button = [this](const char* name, const QString& caption, QLayout* row) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::TabFocus);
        row->addWidget(b);
        return b;
    };
    auto* actions = new QHBoxLayout;
    start_ = button("cmdstart", QStringLiteral("St&art"), actions);
    hint_ = button("cmdhint", QStringLiteral("&Hint"), actions);
    layout->addLayout(actions);
    auto* robots = new QHBoxLayout;
    level_ = new QComboBox(this);
    level_->setObjectName(QStringLiteral("cmbrobotlevel"));
    level_->setAccessibleName(QStringLiteral("Robot strength"));
    level_->addItems({QStringLiteral("casual"), QStringLiteral("greedy"), QStringLiteral("strong"),
                      QStringLiteral("champion")});
    level_->setCurrentIndex(3);
    robots->addWidget(level_);
    robot_ = button("cmdrobot", QStringLiteral("Seat ro&bot"), robots);
    layout->addLayout(robots);
    connect(start_, &QPushButton::clicked, this, &GamePanel::startClicked);
    connect(hint_, &QPushButton::clicked, this, &GamePanel::hintClicked);
    connect(robot_, &QPushButton::clicked, this,
            [this] { emit robotClicked(level_->currentText()); });
    setActionsEnabled(false);
    bag_ = label("lblbag", this, layout);
    heading(QStringLiteral("Unseen tiles"), this, layout);
    unseen_ = label("lblunseen", this, layout);
    unseen_->setFont(QFont(QStringLiteral("Courier New"), 9));
    heading(QStringLiteral("Clock"), this, layout);
    clocks_ = label("lblclocks", this, layout);
    heading(QStringLiteral("Moves"), this, layout);
    moves_ = new QListWidget(this);
    moves_->setObjectName(QStringLiteral("lstmoves"));
    moves_->setAccessibleName(QStringLiteral("Moves"));
    moves_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(moves_, 1);
    heading(QStringLiteral("Your play"), this, layout);
    preview_ = label("lblpreview", this, layout);
    connect(&table, &GameTable::changed, this, &GamePanel::refresh);
    tick_.setInterval(500);
    connect(&tick_, &QTimer::timeout, this, &GamePanel::showClocks);
    refresh();
}

void GamePanel::setActionsEnabled(bool enabled) {
    for (QWidget* action : std::initializer_list<QWidget*>{start_, hint_, level_, robot_})
        action->setEnabled(enabled);
}

void GamePanel::refresh() {
    bag_->setText(table_.bagText());
    unseen_->setText(table_.unseenText());
    preview_->setText(table_.previewText());
    const auto& moves = table_.moves();
    // The list grows a move at a time; anything else is shown afresh.
    if (moves_->count() > int(moves.size()))
        moves_->clear();
    for (int i = 0; i < int(moves.size()); ++i) {
        const QString text = GameTable::moveText(moves[std::size_t(i)]);
        if (i < moves_->count()) {
            if (moves_->item(i)->text() != text)
                moves_->item(i)->setText(text);
        } else {
            moves_->addItem(text);
            moves_->scrollToBottom(); // the newest in view
        }
    }
    showClocks();
}

void GamePanel::showClocks() {
    const QStringList texts = table_.clockTexts();
    clocks_->setText(texts.isEmpty() ? QStringLiteral("none") : texts.join(u'\n'));
    if (table_.clockRuns() && !tick_.isActive())
        tick_.start();
    else if (!table_.clockRuns())
        tick_.stop();
}

} // namespace wordmoot
