#pragma once
// One XML part of a document, parsed as its bytes are inflated, piece by piece. Only XML's own five entities
// are known: a document type declaration or any other entity makes the part unreadable, never expanded.

#include <QStringView>
#include <QXmlStreamReader>
#include <cstddef>

class XmlTokenHandler {
  public:
    virtual ~XmlTokenHandler() = default;
    virtual void startElement(const QXmlStreamReader& reader) = 0;
    virtual void endElement(const QXmlStreamReader& reader) = 0;
    virtual void characters(QStringView text) = 0;
};

class XmlPart {
  public:
    explicit XmlPart(XmlTokenHandler& handler) : handler_(handler) {}
    // Parses what the piece completes. Throws DocumentUnreadable for XML that is not well formed.
    void feed(const char* data, std::size_t size);
    // The part has ended: throws DocumentUnreadable when its XML has not.
    void finish();

  private:
    void parse();

    XmlTokenHandler& handler_;
    QXmlStreamReader reader_;
    bool ended_ = false;
};
