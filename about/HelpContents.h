#pragma once
// The help's table of contents, read from the sitemap file ("toc.hhc") that help.chm is compiled from.

#include <QString>
#include <vector>

struct HelpTopic {
    QString title;
    QString page;  // relative to the pages' folder, as "search.htm"
    bool operator==(const HelpTopic& other) const { return title == other.title && page == other.page; }
};

// The topics of every sitemap entry that names a page, in their order; nested lists are read as one list.
std::vector<HelpTopic> readHelpContents(const QString& sitemap);
