#include "params/paramfile_io.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QLocale>
#include <QXmlStreamWriter>
#include <cmath>

#include "map/domguard.h"

namespace {

void warn(ParamFileContents *out, const QDomElement &element, const QString &reason) {
    out->warnings.append({element.lineNumber(), element.tagName(), reason});
}

// A float field; anything that is not a finite number reads as 0.
float parseFloatField(const QDomElement &element, ParamFileContents *out) {
    bool ok = false;
    const float value = element.text().trimmed().toFloat(&ok);
    if (ok && std::isfinite(value)) {
        return value;
    }
    warn(out, element,
         QCoreApplication::translate("paramfile", "\"%1\" is not a number: read as 0").arg(element.text()));
    return 0.0f;
}

// A 16-bit word field (add, bin). Returns false when the text is a number outside 0..65535.
bool parseWordField(const QDomElement &element, uint16_t *word, bool *isNumber) {
    bool ok = false;
    const qlonglong value = element.text().trimmed().toLongLong(&ok);
    *isNumber = ok;
    if (!ok) {
        *word = 0;
        return true;
    }
    if (value < 0 || value > 0xFFFF) {
        return false;
    }
    *word = static_cast<uint16_t>(value);
    return true;
}

bool readAdd(const QDomElement &element, holding_t *holding, ParamFileContents *out) {
    bool isNumber = false;
    if (parseWordField(element, &holding->add, &isNumber) && isNumber) {
        return true;
    }
    warn(out, element,
         QCoreApplication::translate("paramfile", "\"%1\" is not a register address: holding dropped")
             .arg(element.text()));
    return false;
}

bool readBin(const QDomElement &element, holding_t *holding, ParamFileContents *out) {
    bool isNumber = false;
    if (!parseWordField(element, &holding->value, &isNumber)) {
        warn(out, element,
             QCoreApplication::translate("paramfile", "%1 is not a 16-bit register value: holding dropped")
                 .arg(element.text()));
        return false;
    }
    if (!isNumber) {
        warn(out, element,
             QCoreApplication::translate("paramfile", "\"%1\" is not a number: read as 0")
                 .arg(element.text()));
    }
    return true;
}

// Builds one holding from its children; false when it has to be dropped.
bool readHolding(const QDomElement &holdingElement, holding_t *holding, ParamFileContents *out) {
    bool hasAdd = false;
    for (QDomElement child = holdingElement.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("add")) {
            if (!readAdd(child, holding, out)) {
                return false;
            }
            hasAdd = true;
        } else if (tag == QLatin1String("txt")) {
            holding->text = child.text();
        } else if (tag == QLatin1String("mul")) {
            holding->multiplier = parseFloatField(child, out);
        } else if (tag == QLatin1String("bin")) {
            if (!readBin(child, holding, out)) {
                return false;
            }
        } else if (tag == QLatin1String("val")) {
            holding->fvalue = parseFloatField(child, out);
        }
    }
    if (!hasAdd) {
        warn(out, holdingElement, QCoreApplication::translate("paramfile", "no address: holding dropped"));
    }
    return hasAdd;
}

void readMetaData(const QDomElement &metaElement, ParamFileMeta *meta) {
    for (QDomElement child = metaElement.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("file")) {
            meta->file = child.text();
        } else if (tag == QLatin1String("datetime")) {
            meta->datetime = child.text();
        } else if (tag == QLatin1String("model")) {
            meta->model = child.text();
        } else if (tag == QLatin1String("version")) {
            meta->version = child.text();
        }
    }
}

bool isXmlCharacter(char16_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
}

// The DOM reader accepts control characters (raw or as &#1;) in map labels and parameter
// files, but XML cannot carry them: QXmlStreamWriter drops them and then reports the whole
// document as failed. Dropping them here keeps one odd label from failing an export.
QString writableText(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (isXmlCharacter(c.unicode())) {
            out += c;
        }
    }
    return out;
}

void writeTextElement(QXmlStreamWriter &xml, const QString &name, const QString &text) {
    xml.writeTextElement(name, writableText(text));
}

void writeHolding(QXmlStreamWriter &xml, const holding_t &holding) {
    xml.writeStartElement(QStringLiteral("holding"));
    xml.writeTextElement(QStringLiteral("add"), QString::number(holding.add));
    writeTextElement(xml, QStringLiteral("txt"), holding.text);
    xml.writeTextElement(QStringLiteral("mul"), paramFileMultiplier(holding.multiplier));
    xml.writeTextElement(QStringLiteral("bin"), QString::number(holding.value));
    xml.writeTextElement(QStringLiteral("val"),
                         QString::number(paramFileVal(holding.fvalue, holding.multiplier, holding.value)));
    xml.writeEndElement();
}

}  // namespace

bool readParamFileData(const QByteArray &xml, ParamFileContents *out) {
    if (!out) {
        return false;
    }
    *out = ParamFileContents();
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!domguard::setContent(document, xml, &message, &line, &column)) {
        out->error = QStringLiteral("lin %1 col %2 -> err: %3").arg(line).arg(column).arg(message);
        qDebug().noquote() << out->error;
        return false;
    }
    const QDomElement root = document.documentElement();
    for (QDomElement child = root.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName() == QLatin1String("MetaData")) {
            readMetaData(child, &out->meta);
        } else if (child.tagName() == QLatin1String("holding")) {
            holding_t holding;
            if (readHolding(child, &holding, out)) {
                out->holdings.append(holding);
            }
        }
    }
    return true;
}

bool readParamFile(const QString &path, ParamFileContents *out) {
    if (!out) {
        return false;
    }
    QByteArray xml;
    QString error;
    if (!domguard::readFile(path, &xml, &error)) {
        *out = ParamFileContents();
        error[0] = error.at(0).toUpper();
        out->error = error;
        qDebug().noquote() << out->error;
        return false;
    }
    return readParamFileData(xml, out);
}

bool writeParamFileData(QIODevice *device, const ParamFileMeta &meta, const QVector<holding_t *> &holdings) {
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Motor_Configuration"));
    xml.writeStartElement(QStringLiteral("MetaData"));
    writeTextElement(xml, QStringLiteral("file"), meta.file);
    writeTextElement(xml, QStringLiteral("datetime"), meta.datetime);
    writeTextElement(xml, QStringLiteral("model"), meta.model);
    writeTextElement(xml, QStringLiteral("version"), meta.version);
    xml.writeEndElement();
    for (const holding_t *holding : holdings) {
        if (holding) {
            writeHolding(xml, *holding);
        }
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

QString paramFileDateTime(const QDateTime &when) {
    return QLocale::c().toString(when, QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

QString paramFileMultiplier(float multiplier) {
    return QString::number(double(multiplier), 'g', 6);
}

uint16_t paramFileVal(float fvalue, float multiplier, uint16_t rawValue) {
    const double quotient = double(fvalue) / double(multiplier);
    if (!std::isfinite(quotient)) {
        return rawValue;
    }
    // Reducing modulo 2^16 keeps exactly the low 16 bits of the two's-complement integer,
    // also for quotients beyond the 32-bit range where a cast would be undefined.
    double word = std::fmod(std::round(quotient), 65536.0);
    if (word < 0) {
        word += 65536.0;
    }
    return static_cast<uint16_t>(word);
}
