#include "ui/help_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace pellucar::ui {

namespace {

const QRegularExpression& headerPattern() {
    static const QRegularExpression re(QStringLiteral(R"(^==\s*(\d+)\s*\|\s*(.*?)\s*==\s*$)"));
    return re;
}

// [[NNNN]] or [[NNNN|text]]; anything else between double brackets is a
// mistake in the file.
const QRegularExpression& linkPattern() {
    static const QRegularExpression re(QStringLiteral(R"(\[\[(\d+)(?:\|([^\]]*))?\]\])"));
    return re;
}

} // namespace

HelpFile HelpFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        HelpFile f;
        f.error_ = QStringLiteral("The help file %1 could not be opened: %2").arg(path, file.errorString());
        return f;
    }
    return parse(QString::fromUtf8(file.readAll()));
}

HelpFile HelpFile::parse(const QString& source) {
    HelpFile f;
    QString text = source;
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));

    auto fail = [&f](int lineNo, const QString& why) {
        f.topics_.clear();
        f.error_ = QStringLiteral("Line %1 of the help file: %2").arg(lineNo).arg(why);
        return f;
    };

    HelpTopic* current = nullptr;
    // The block that the next plain line continues, if any.
    HelpBlock* open = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();

        if (line.startsWith(QLatin1String("## "))) {
            if (!current) return fail(lineNo, QStringLiteral("a subheading before the first topic"));
            current->blocks.append({HelpBlock::Kind::Heading, line.mid(3).trimmed()});
            open = nullptr;
            continue;
        }
        if (line.startsWith(QLatin1Char('#'))) continue; // comment
        if (line.startsWith(QLatin1String("=="))) {
            const QRegularExpressionMatch m = headerPattern().match(line);
            if (!m.hasMatch()) return fail(lineNo, QStringLiteral("a topic header must read \"== NNNN | Title ==\""));
            const int id = m.captured(1).toInt();
            const QString title = m.captured(2);
            if (title.isEmpty()) return fail(lineNo, QStringLiteral("topic %1 has no title").arg(id));
            for (const HelpTopic& t : f.topics_)
                if (t.id == id) return fail(lineNo, QStringLiteral("topic %1 appears twice").arg(id));
            f.topics_.append(HelpTopic{id, title, {}});
            current = &f.topics_.last();
            open = nullptr;
            continue;
        }
        if (trimmed.isEmpty()) {
            open = nullptr;
            continue;
        }
        if (!current) return fail(lineNo, QStringLiteral("text before the first topic header"));

        // Every [[ must open a well-formed link.
        qsizetype from = 0;
        while ((from = trimmed.indexOf(QLatin1String("[["), from)) >= 0) {
            const QRegularExpressionMatch m = linkPattern().match(trimmed, from);
            if (!m.hasMatch() || m.capturedStart() != from)
                return fail(lineNo, QStringLiteral("a link must read [[NNNN]] or [[NNNN|text]]"));
            from = m.capturedEnd();
        }

        if (line.startsWith(QLatin1String("* "))) {
            current->blocks.append({HelpBlock::Kind::Bullet, line.mid(2).trimmed()});
            open = &current->blocks.last();
        } else if (open) {
            open->text += QLatin1Char(' ') + trimmed;
        } else {
            current->blocks.append({HelpBlock::Kind::Paragraph, trimmed});
            open = &current->blocks.last();
        }
    }
    if (f.topics_.isEmpty() && f.error_.isEmpty()) f.error_ = QStringLiteral("The help file holds no topics.");
    return f;
}

QList<int> HelpFile::ids() const {
    QList<int> l;
    for (const HelpTopic& t : topics_) l << t.id;
    return l;
}

const HelpTopic* HelpFile::topic(int id) const {
    for (const HelpTopic& t : topics_)
        if (t.id == id) return &t;
    return nullptr;
}

int HelpFile::topicFromUrl(const QString& url) {
    if (!url.startsWith(QLatin1String("topic:"))) return -1;
    bool ok = false;
    const int id = url.mid(6).toInt(&ok);
    return ok ? id : -1;
}

QString HelpFile::expandLinks(const QString& text, bool asHtml) const {
    auto plain = [asHtml](const QString& t) { return asHtml ? t.toHtmlEscaped() : t; };
    QString out;
    qsizetype at = 0;
    QRegularExpressionMatchIterator it = linkPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += plain(text.mid(at, m.capturedStart() - at));
        const int id = m.captured(1).toInt();
        QString label = m.captured(2);
        if (label.isEmpty()) {
            const HelpTopic* t = topic(id);
            label = t ? t->title : (asHtml ? QStringLiteral("Topic %1").arg(id) : m.captured(1));
        }
        out += asHtml ? QStringLiteral("<a href=\"%1\">%2</a>").arg(linkUrl(id), label.toHtmlEscaped()) : label;
        at = m.capturedEnd();
    }
    return out + plain(text.mid(at));
}

QString HelpFile::inlineHtml(const QString& text) const { return expandLinks(text, true); }
QString HelpFile::inlinePlain(const QString& text) const { return expandLinks(text, false); }

QString HelpFile::html(int id) const {
    const HelpTopic* t = topic(id);
    if (!t) return {};
    QString out = QStringLiteral("<h2>%1</h2>\n").arg(t->title.toHtmlEscaped());
    bool inList = false;
    for (const HelpBlock& b : t->blocks) {
        const bool bullet = b.kind == HelpBlock::Kind::Bullet;
        if (bullet && !inList) out += QStringLiteral("<ul>\n");
        if (!bullet && inList) out += QStringLiteral("</ul>\n");
        inList = bullet;
        switch (b.kind) {
        case HelpBlock::Kind::Heading: out += QStringLiteral("<h3>%1</h3>\n").arg(inlineHtml(b.text)); break;
        case HelpBlock::Kind::Bullet: out += QStringLiteral("<li>%1</li>\n").arg(inlineHtml(b.text)); break;
        case HelpBlock::Kind::Paragraph: out += QStringLiteral("<p>%1</p>\n").arg(inlineHtml(b.text)); break;
        }
    }
    if (inList) out += QStringLiteral("</ul>\n");
    return out;
}

QString HelpFile::plainText(int id) const {
    const HelpTopic* t = topic(id);
    if (!t) return {};
    QStringList parts;
    for (const HelpBlock& b : t->blocks)
        parts << (b.kind == HelpBlock::Kind::Bullet ? QStringLiteral("- ") : QString()) + inlinePlain(b.text);
    return parts.join(QLatin1Char('\n'));
}

QList<int> HelpFile::links(int id) const {
    QList<int> out;
    const HelpTopic* t = topic(id);
    if (!t) return out;
    for (const HelpBlock& b : t->blocks) {
        QRegularExpressionMatchIterator it = linkPattern().globalMatch(b.text);
        while (it.hasNext()) out << it.next().captured(1).toInt();
    }
    return out;
}

} // namespace pellucar::ui
