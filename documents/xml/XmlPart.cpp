#include "documents/xml/XmlPart.h"

#include <QByteArray>

#include "documents/DocumentFailure.h"

void XmlPart::feed(const char* data, std::size_t size) {
    if (ended_) {
        return;  // what follows the root element is no text
    }
    reader_.addData(QByteArray(data, static_cast<qsizetype>(size)));
    parse();
}

void XmlPart::finish() {
    if (!ended_) {
        throw DocumentUnreadable("XML обрывается");
    }
}

void XmlPart::parse() {
    while (!ended_) {
        switch (reader_.readNext()) {
            case QXmlStreamReader::StartElement:
                handler_.startElement(reader_);
                break;
            case QXmlStreamReader::EndElement:
                handler_.endElement(reader_);
                break;
            case QXmlStreamReader::Characters:
                handler_.characters(reader_.text());
                break;
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                throw DocumentUnreadable("XML объявляет сущности");
            case QXmlStreamReader::EndDocument:
                ended_ = true;
                break;
            case QXmlStreamReader::Invalid:
                if (reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                    return;  // waits for the next piece
                }
                throw DocumentUnreadable("ошибка XML: " + reader_.errorString().toStdString());
            default:
                break;
        }
    }
}
