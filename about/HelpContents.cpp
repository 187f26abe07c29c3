#include "about/HelpContents.h"

#include <QRegularExpression>

std::vector<HelpTopic> readHelpContents(const QString& sitemap) {
    static const QRegularExpression entry(
        QStringLiteral("<object\\s+type\\s*=\\s*\"text/sitemap\"\\s*>(.*?)</object>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression parameter(
        QStringLiteral("<param\\s+name\\s*=\\s*\"([^\"]*)\"\\s+value\\s*=\\s*\"([^\"]*)\"\\s*/?>"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<HelpTopic> topics;
    for (const QRegularExpressionMatch& found : entry.globalMatch(sitemap)) {
        HelpTopic topic;
        for (const QRegularExpressionMatch& named : parameter.globalMatch(found.captured(1))) {
            const QString name = named.captured(1).toLower();
            if (name == QLatin1String("name")) {
                topic.title = named.captured(2);
            } else if (name == QLatin1String("local")) {
                topic.page = named.captured(2);
            }
        }
        if (!topic.page.isEmpty()) {
            topics.push_back(topic);
        }
    }
    return topics;
}
