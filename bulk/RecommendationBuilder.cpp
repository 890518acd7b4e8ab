#include "bulk/RecommendationBuilder.h"

#include "controllib/QkParser.h"
#include "controllib/QkTools.h"

#include <utility>

namespace {

const QString kLineBreaks = QStringLiteral("\r\n\r\n");

QString firstOf(const QStringList &list) {
    return list.isEmpty() ? QString() : list.first();
}

} // namespace

RecommendationBuilder::RecommendationBuilder(PhraseLists phrases, RecommendationSettings settings,
                                             QkTools &tools)
    : m_phrases(std::move(phrases)), m_settings(std::move(settings)), m_tools(tools) {}

QString RecommendationBuilder::normaliseLinkText(const QString &linkText) {
    return QkParser::ReplaceText(linkText, QStringLiteral(", "), QStringLiteral(","), 0);
}

QString RecommendationBuilder::apply(const QString &article, qsizetype room) {
    return place(article, compose(), m_settings, room);
}

QString RecommendationBuilder::compose() {
    m_tools.ShuffleList(m_phrases.lstIf);
    m_tools.ShuffleList(m_phrases.lstIfQuestion);
    m_tools.ShuffleList(m_phrases.lstThen);

    m_lstLinkTitles.clear();
    QkTools::SplitToList(normaliseLinkText(m_settings.linkText), QStringLiteral(","),
                         m_lstLinkTitles, QString());
    m_tools.ShuffleList(m_lstLinkTitles);

    const int number = m_tools.RandomNumber(100);
    const QString k = link(m_settings.url, firstOf(m_lstLinkTitles));
    if (number > 50)
        return statementForm(firstOf(m_phrases.lstIf), m_settings.benefit,
                             firstOf(m_phrases.lstThen), k);
    return questionForm(firstOf(m_phrases.lstIfQuestion), m_settings.benefit,
                        firstOf(m_phrases.lstThen), k);
}

QString RecommendationBuilder::place(const QString &article, const QString &body,
                                     const RecommendationSettings &settings, qsizetype room) {
    // Built in one buffer: articles can be large, and each copy of one costs.
    const QString open = QStringLiteral("<center>");
    const QString close = QStringLiteral("</center>");
    QString text;
    text.reserve(article.size() + 2 * (body.size() + open.size() + close.size() + 4) + room);
    if (settings.begins) {
        if (settings.center1)
            text += open;
        text += body;
        if (settings.center1)
            text += close;
        text += kLineBreaks;
    }
    text += article;
    if (settings.ends) {
        text += kLineBreaks;
        if (settings.center2)
            text += open;
        text += body;
        if (settings.center2)
            text += close;
    }
    return text;
}

QString RecommendationBuilder::questionForm(const QString &opening, const QString &benefit,
                                            const QString &closing, const QString &link) {
    return opening + QStringLiteral(" ") + benefit + QStringLiteral("?<br> ") +
           QStringLiteral("<br>") + closing + link;
}

QString RecommendationBuilder::statementForm(const QString &opening, const QString &benefit,
                                             const QString &closing, const QString &link) {
    return opening + QStringLiteral(" ") + benefit + QStringLiteral(" then ") + closing.toLower() +
           QStringLiteral("<br>") + link;
}

QString RecommendationBuilder::link(const QString &url, const QString &linkText) {
    return QStringLiteral(" <a href=\"") + url + QStringLiteral("\">") + linkText +
           QStringLiteral("</a><br><br>");
}
