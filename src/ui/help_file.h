#pragma once
#include <QList>
#include <QString>

namespace pellucar::ui {

// One block of a help topic's body.
struct HelpBlock {
    enum class Kind { Paragraph, Bullet, Heading };
    Kind kind = Kind::Paragraph;
    QString text; // still carries its [[NNNN|text]] links
};

struct HelpTopic {
    int id = -1;
    QString title;
    QList<HelpBlock> blocks;
};

// The help topics, read from the text file beside the game at run time, so
// the writers can change them without a rebuild. A file that cannot be read
// or parsed yields no topics and an error that says where it went wrong.
class HelpFile {
public:
    static HelpFile load(const QString& path);
    static HelpFile parse(const QString& text);

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    // Context numbers in file order.
    QList<int> ids() const;
    const HelpTopic* topic(int id) const;

    // The topic as rich text for a text browser; links become anchors
    // "topic:NNNN".
    QString html(int id) const;
    // The topic as readable plain text (links show their text).
    QString plainText(int id) const;
    // Every context number the topic links to, in order of appearance.
    QList<int> links(int id) const;

    static QString linkUrl(int id) { return QStringLiteral("topic:") + QString::number(id); }
    // -1 when the anchor is not a topic link.
    static int topicFromUrl(const QString& url);

private:
    QString inlineHtml(const QString& text) const;
    QString inlinePlain(const QString& text) const;
    // Topic links as anchors (html) or as their link text (plain).
    QString expandLinks(const QString& text, bool asHtml) const;

    QList<HelpTopic> topics_;
    QString error_;
};

} // namespace pellucar::ui
