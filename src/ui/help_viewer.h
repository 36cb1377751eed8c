#pragma once
#include "ui/help_file.h"

#include <QList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace pellucar::ui {

// The game's own help viewer: a modeless window with the topic list on the
// left and the chosen topic on the right. It reads the help file when it is
// created, so a player always sees the file that lies beside the game.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& helpPath, QWidget* parent = nullptr);

    // 0 is the contents page; an unknown number shows a short notice.
    void showTopic(int contextId);
    int currentTopic() const { return current_; }
    const HelpFile& file() const { return file_; }
    QString renderedText() const;
    bool canGoBack() const { return !history_.isEmpty(); }

public slots:
    void back();

private:
    void display(int contextId);

    HelpFile file_;
    QListWidget* list_;
    QTextBrowser* browser_;
    QPushButton* back_;
    QLabel* status_;
    QList<int> history_;
    int current_ = -1;
};

} // namespace pellucar::ui
