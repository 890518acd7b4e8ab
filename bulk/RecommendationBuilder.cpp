#include "bulk/RecommendationBuilder.h"

#include "controllib/QkParser.h"
#include "controllib/QkTools.h"
#include "core/TypedValue.h"

#include <utility>

namespace {

const QString kLineBreaks = QStringLiteral("\r\n\r\n");

QString entryOf(const QStringList &list, qsizetype index) {
    return index < list.size() ? list.at(index) : QString();
}

QString wrapped(const QString &body, bool centre) {
    return centre ? QStringLiteral("<center>") + body + QStringLiteral("</center>") : body;
}

} // namespace

RecommendationBuilder::RecommendationBuilder(PhraseLists phrases, RecommendationSettings settings,
                                             QkTools &tools)
    : m_phrases(std::move(phrases)), m_settings(std::move(settings)),
      m_linkTexts(linkTexts(m_settings.linkText)), m_tools(tools) {
    m_lowerThen.reserve(m_phrases.lstThen.size());
    for (const QString &closing : std::as_const(m_phrases.lstThen))
        m_lowerThen.append(closing.toLower());
}

QString RecommendationBuilder::normaliseLinkText(const QString &linkText) {
    return QkParser::ReplaceText(linkText, QStringLiteral(", "), QStringLiteral(","), 0);
}

QStringList RecommendationBuilder::linkTexts(const QString &linkText) {
    QStringList pieces;
    QkTools::SplitToList(normaliseLinkText(linkText), QStringLiteral(","), pieces, QString());
    pieces.removeAll(QString());
    return pieces;
}

QString RecommendationBuilder::compose() {
    // Each pick is the entry that a shuffle of its list would bring to the front.
    const qsizetype opening = m_tools.PickIndex(m_phrases.lstIf.size());
    const qsizetype question = m_tools.PickIndex(m_phrases.lstIfQuestion.size());
    const qsizetype closing = m_tools.PickIndex(m_phrases.lstThen.size());
    const QString k =
        link(m_settings.url, entryOf(m_linkTexts, m_tools.PickIndex(m_linkTexts.size())));
    const QString benefit = TypedValue::htmlEscaped(m_settings.benefit);
    if (m_tools.RandomNumber(100) > 50)
        return statement(entryOf(m_phrases.lstIf, opening), benefit, entryOf(m_lowerThen, closing),
                         k);
    return questionForm(entryOf(m_phrases.lstIfQuestion, question), benefit,
                        entryOf(m_phrases.lstThen, closing), k);
}

RecommendationBuilder::Around
RecommendationBuilder::around(const QString &body, const RecommendationSettings &settings) {
    Around result;
    if (settings.begins)
        result.before = wrapped(body, settings.center1) + kLineBreaks;
    if (settings.ends)
        result.after = kLineBreaks + wrapped(body, settings.center2);
    return result;
}

QString RecommendationBuilder::questionForm(const QString &opening, const QString &benefit,
                                            const QString &closing, const QString &link) {
    return opening + QStringLiteral(" ") + benefit + QStringLiteral("?<br> ") +
           QStringLiteral("<br>") + closing + link;
}

QString RecommendationBuilder::statementForm(const QString &opening, const QString &benefit,
                                             const QString &closing, const QString &link) {
    return statement(opening, benefit, closing.toLower(), link);
}

QString RecommendationBuilder::statement(const QString &opening, const QString &benefit,
                                         const QString &lowerClosing, const QString &link) {
    return opening + QStringLiteral(" ") + benefit + QStringLiteral(" then ") + lowerClosing +
           QStringLiteral("<br>") + link;
}

QString RecommendationBuilder::link(const QString &url, const QString &linkText) {
    return QStringLiteral(" <a href=\"") + TypedValue::htmlEscaped(url) + QStringLiteral("\">") +
           TypedValue::htmlEscaped(linkText) + QStringLiteral("</a><br><br>");
}
