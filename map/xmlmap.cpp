#include "map/xmlmap.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <algorithm>
#include <cmath>

#include "map/domguard.h"

namespace {

// A Modbus read returns at most 125 registers, and the poll reads each kind in one request.
constexpr int kMaxRegistersPerRead = 125;

bool parseInt32(const QString &text, int32_t *value) {
    bool ok = false;
    const int parsed = text.toInt(&ok, 10);
    if (ok) {
        *value = parsed;
    }
    return ok;
}

bool parseInRange(const QString &text, int32_t low, int32_t high, int32_t *value) {
    int32_t parsed = 0;
    if (!parseInt32(text, &parsed) || parsed < low || parsed > high) {
        return false;
    }
    *value = parsed;
    return true;
}

// Register addresses and block positions are 16-bit; a larger number is not truncated into
// some other register but treated like any other bad number.
bool parseU16(const QString &text, uint16_t *value) {
    int32_t parsed = 0;
    if (!parseInRange(text, 0, 65535, &parsed)) {
        return false;
    }
    *value = static_cast<uint16_t>(parsed);
    return true;
}

// Item values match the register word as a 16-bit pattern, so both -1 and 65535 mean 0xFFFF.
bool parseItemValue(const QString &text, uint16_t *value) {
    int32_t parsed = 0;
    if (!parseInRange(text, -32768, 65535, &parsed)) {
        return false;
    }
    *value = static_cast<uint16_t>(parsed);
    return true;
}

// A multiplier of "nan" or "inf" parses in the C locale but would poison every value and edit.
bool parseFloat(const QString &text, float *value) {
    bool ok = false;
    const float parsed = text.toFloat(&ok);
    if (!ok || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

QString notANumber(const QDomElement &element) {
    return xmlmap::tr("'%1' is not a number").arg(element.text());
}

}  // namespace

xmlmap::xmlmap(QObject *parent) : QObject(parent) {}

xmlmap::~xmlmap() = default;

bool xmlmap::readMap(const QString &path) {
    m_warnings.clear();
    m_wellFormed = false;
    QByteArray xml;
    QString error;
    if (!domguard::readFile(path, &xml, &error)) {
        qDebug().noquote() << "Cannot read file" << error;
        warn(0, QString(), error);
        return false;
    }
    return readMapData(xml, path);
}

bool xmlmap::readMapData(const QByteArray &xml, const QString &sourceName) {
    m_warnings.clear();
    m_wellFormed = false;
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!domguard::setContent(document, xml, &message, &line, &column)) {
        qDebug().noquote() << "Malformed register map" << sourceName << line << column << message;
        warn(line, QStringLiteral("document"),
             tr("malformed XML at column %1: %2; nothing was read").arg(column).arg(message));
        return true;
    }
    m_wellFormed = true;
    const QDomElement root = document.documentElement();
    for (QDomElement section = root.firstChildElement(); !section.isNull();
         section = section.nextSiblingElement()) {
        const QString tag = section.tagName();
        if (tag == QLatin1String("options")) {
            readOptions(section.firstChild());
        } else if (tag == QLatin1String("block")) {
            readBlock(section);
        } else if (tag == QLatin1String("Input_Register")) {
            readInputSection(section);
        } else if (tag == QLatin1String("RAM_Parameter")) {
            readRamSection(section);
        } else {
            warn(section, tr("unknown section ignored"));
        }
    }
    checkPollLimits();
    return true;
}

void xmlmap::clear() {
    m_holdings.clear();
    m_inputs.clear();
    m_ramParams.clear();
}

// ---- options ----------------------------------------------------------------------------

int xmlmap::readOptions(const QDomNode &firstChild) {
    m_accessLevel = kNoPosition;
    for (QDomNode node = firstChild; !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            readOption(node.toElement());
        }
    }
    return 0;
}

void xmlmap::readOption(const QDomElement &option) {
    struct U16Option {
        const char *tag;
        uint16_t xmlmap::*member;
    };
    struct I32Option {
        const char *tag;
        int32_t xmlmap::*member;
        int32_t fallback;
    };
    static const U16Option u16Options[] = {{"StopIndex", &xmlmap::m_stopIndex},
                                           {"access_level", &xmlmap::m_accessLevel},
                                           {"flags", &xmlmap::m_flags}};
    static const I32Option i32Options[] = {
        {"power_id", &xmlmap::m_powerId, -1},      {"power_iq", &xmlmap::m_powerIq, -1},
        {"power_vd", &xmlmap::m_powerVd, -1},      {"power_vq", &xmlmap::m_powerVq, -1},
        {"col1_width", &xmlmap::m_col1Width, 200}, {"col2_width", &xmlmap::m_col2Width, 100},
        {"col3_width", &xmlmap::m_col3Width, 50}};

    const QString tag = option.tagName();
    const QString text = option.text();
    if (tag == QLatin1String("version")) {
        m_version = text;
        qDebug().noquote() << "version: " << text;
        return;
    }
    if (tag == QLatin1String("model")) {
        m_model = text;
        qDebug().noquote() << "model: " << text;
        return;
    }
    if (tag == QLatin1String("test_file")) {
        m_testFile = text;
        return;
    }
    for (const U16Option &o : u16Options) {
        if (tag == QLatin1String(o.tag)) {
            bool ok = false;
            const ushort value = text.toUShort(&ok, 10);
            this->*o.member = ok ? value : kNoPosition;
            if (!ok) {
                warn(option, notANumber(option) + tr(", using %1").arg(kNoPosition));
            }
            return;
        }
    }
    for (const I32Option &o : i32Options) {
        if (tag == QLatin1String(o.tag)) {
            if (!parseInt32(text, &(this->*o.member))) {
                this->*o.member = o.fallback;
                warn(option, notANumber(option) + tr(", using %1").arg(o.fallback));
            }
            return;
        }
    }
    warn(option, tr("unknown option ignored"));
}

// ---- blocks and holdings ----------------------------------------------------------------

void xmlmap::readBlock(const QDomElement &block) {
    static const char *const required[] = {"name", "query", "type", "start", "end"};
    for (const char *attribute : required) {
        if (!block.hasAttribute(QLatin1String(attribute))) {
            warn(block,
                 tr("block and its holdings skipped: attribute '%1' missing").arg(QLatin1String(attribute)));
            return;
        }
    }
    auto record = std::make_unique<block_t>();
    record->name = block.attribute(QStringLiteral("name"));
    record->query = block.attribute(QStringLiteral("query"));
    record->type = block.attribute(QStringLiteral("type"));
    const QString start = block.attribute(QStringLiteral("start"));
    if (!parseU16(start, &record->start)) {
        record->start = 0;
        warn(block, tr("block '%1': start '%2' is not a position, using 0").arg(record->name, start));
    }
    const QString end = block.attribute(QStringLiteral("end"));
    if (!parseU16(end, &record->end)) {
        warn(block,
             tr("block '%1' and its holdings skipped: end '%2' is not a position").arg(record->name, end));
        return;
    }
    for (QDomNode node = block.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            readHolding(node.toElement());
        }
    }
    m_blocks.append(record.get());
    m_blockArena.push_back(std::move(record));
}

void xmlmap::readHolding(const QDomElement &element) {
    holding_t holding;
    const QString add = element.attribute(QStringLiteral("add"));
    if (!parseU16(add, &holding.add)) {
        warn(element, tr("holding dropped: add '%1' is not a register address").arg(add));
        return;
    }
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        bool stopChildren = false;
        if (!readHoldingChild(child, holding, &stopChildren)) {
            warn(child, tr("holding %1 dropped: %2").arg(holding.add).arg(notANumber(child)));
            return;
        }
        if (stopChildren) {
            break;
        }
    }
    holding.table = -1;
    holding.combo = -1;
    holding.value = 0;
    m_holdings.append(newHolding(std::move(holding)));
}

// False when a number does not parse (the holding is dropped); *stopChildren when a bad
// item ends the holding early.
bool xmlmap::readHoldingChild(const QDomElement &child, holding_t &holding, bool *stopChildren) {
    const QString tag = child.tagName();
    const QString text = child.text();
    if (tag == QLatin1String("text")) {
        holding.text = text;
    } else if (tag == QLatin1String("min")) {
        return parseInt32(text, &holding.min);
    } else if (tag == QLatin1String("max")) {
        return parseInt32(text, &holding.max);
    } else if (tag == QLatin1String("default")) {
        holding.fvalue = 0.0f;
        return parseInt32(text, &holding.def);
    } else if (tag == QLatin1String("vis_type")) {
        holding.vis_type = text;
        if (text == QLatin1String("list") && !holding.items.isEmpty()) {
            warn(child, tr("holding %1: %2 item(s) before <vis_type>list</vis_type> discarded")
                            .arg(holding.add)
                            .arg(holding.items.size()));
            holding.items.clear();
        }
    } else if (tag == QLatin1String("item")) {
        *stopChildren = !readItem(child, holding.items);
    } else if (tag == QLatin1String("multiplier")) {
        return parseFloat(text, &holding.multiplier);
    } else if (tag == QLatin1String("unit")) {
        holding.unit = text == QLatin1String("none") ? QString() : text;
    } else if (tag == QLatin1String("help")) {
        holding.help = text;
    } else if (tag == QLatin1String("hidden")) {
        holding.hidden = text == QLatin1String("true");
    } else if (tag == QLatin1String("level")) {
        return parseInt32(text, &holding.level);
    } else {
        warn(child, tr("holding %1: unknown element ignored").arg(holding.add));
    }
    return true;
}

// False when the item's val is not a number: the register's remaining children are not read.
bool xmlmap::readItem(const QDomElement &element, QVector<item_t *> &items) {
    auto item = std::make_unique<item_t>();
    const QString val = element.attribute(QStringLiteral("val"));
    if (!parseItemValue(val, &item->val)) {
        warn(element, tr("item val '%1' is not a 16-bit number; the rest of this register "
                         "is not read")
                          .arg(val));
        return false;
    }
    item->text = element.text();
    items.append(item.get());
    m_itemArena.push_back(std::move(item));
    return true;
}

// ---- input registers ----------------------------------------------------------------------

void xmlmap::readInputSection(const QDomElement &section) {
    qDebug() << "-- Input Registers --";
    readSection(section, &xmlmap::readInputRegister);
}

// Reads each child with readOne until one of them abandons the rest of the section.
void xmlmap::readSection(const QDomElement &section, bool (xmlmap::*readOne)(const QDomElement &)) {
    for (QDomElement element = section.firstChildElement(); !element.isNull();
         element = element.nextSiblingElement()) {
        if (!(this->*readOne)(element)) {
            warn(element, tr("rest of the %1 section abandoned").arg(section.tagName()));
            return;
        }
    }
}

// False abandons the rest of the section.
bool xmlmap::readInputRegister(const QDomElement &element) {
    input_reg_t reg;
    const QString add = element.attribute(QStringLiteral("add"));
    if (!parseU16(add, &reg.add)) {
        warn(element, tr("input register dropped: add '%1' is not a register address").arg(add));
        return false;
    }
    reg.name = element.tagName();
    reg.bg_r = readColourAttribute(element, QStringLiteral("bg_r"));
    reg.bg_g = readColourAttribute(element, QStringLiteral("bg_g"));
    reg.bg_b = readColourAttribute(element, QStringLiteral("bg_b"));
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        const QString text = child.text();
        bool ok = true;
        if (tag == QLatin1String("text")) {
            reg.text = text;
        } else if (tag == QLatin1String("default")) {
            ok = parseInt32(text, &reg.def);
        } else if (tag == QLatin1String("vis_type")) {
            reg.vis_type = text;
        } else if (tag == QLatin1String("item")) {
            if (!readItem(child, reg.items)) {
                break;
            }
        } else if (tag == QLatin1String("multiplier")) {
            ok = parseFloat(text, &reg.multiplier);
        } else if (tag == QLatin1String("unit")) {
            reg.unit = text == QLatin1String("none") ? QStringLiteral("adim") : text;
        } else {
            warn(child, tr("input register %1: unknown element ignored").arg(reg.add));
        }
        if (!ok) {
            warn(child, tr("input register %1 dropped: %2").arg(reg.add).arg(notANumber(child)));
            return false;
        }
    }
    m_inputs.append(newInputRegister(std::move(reg)));
    return true;
}

int32_t xmlmap::readColourAttribute(const QDomElement &element, const QString &name) {
    if (!element.hasAttribute(name)) {
        return 255;
    }
    int32_t value = 255;
    if (!parseInt32(element.attribute(name), &value)) {
        warn(element, tr("%1 '%2' is not a number, using 255").arg(name, element.attribute(name)));
        return 255;
    }
    return value;
}

// ---- RAM parameters -------------------------------------------------------------------------

void xmlmap::readRamSection(const QDomElement &section) {
    readSection(section, &xmlmap::readRamParameter);
}

// False abandons the rest of the section.
bool xmlmap::readRamParameter(const QDomElement &element) {
    holding_t param;
    const QString add = element.attribute(QStringLiteral("add"));
    if (!parseU16(add, &param.add)) {
        warn(element, tr("RAM parameter dropped: add '%1' is not a register address").arg(add));
        return false;
    }
    param.name = element.tagName();
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        const QString text = child.text();
        bool ok = true;
        if (tag == QLatin1String("text")) {
            param.text = text;
        } else if (tag == QLatin1String("min")) {
            ok = parseInt32(text, &param.min);
        } else if (tag == QLatin1String("max")) {
            ok = parseInt32(text, &param.max);
        } else if (tag == QLatin1String("default")) {
            ok = parseInt32(text, &param.def);
        } else if (tag == QLatin1String("vis_type")) {
            param.vis_type = text;
        } else if (tag == QLatin1String("multiplier")) {
            ok = parseFloat(text, &param.multiplier);
        } else if (tag == QLatin1String("unit")) {
            param.unit = text == QLatin1String("none") ? QStringLiteral("adim") : text;
        } else {
            warn(child, tr("RAM parameter %1: element ignored").arg(param.add));
        }
        if (!ok) {
            warn(child, tr("RAM parameter %1 dropped: %2").arg(param.add).arg(notANumber(child)));
            return false;
        }
    }
    param.table = -1;
    param.combo = -1;
    m_ramParams.append(newHolding(std::move(param)));
    return true;
}

// ---- lists ------------------------------------------------------------------------------------

// Normal holdings are the leading run of consecutive addresses; everything after the first
// gap is an aux holding.
int xmlmap::normalHoldingCount() const {
    int k = 1;
    while (k < m_holdings.size() && m_holdings[k]->add == m_holdings[k - 1]->add + 1) {
        ++k;
    }
    return std::min(k, static_cast<int>(m_holdings.size()));
}

int xmlmap::getHoldings(QVector<holding_t *> &out) const {
    out += m_holdings.mid(0, normalHoldingCount());
    return out.size();
}

int xmlmap::getAuxHoldings(QVector<holding_t *> &out) const {
    const int k = normalHoldingCount();
    qDebug() << "i max holding normal: " << k;
    out += m_holdings.mid(k);
    return out.size();
}

int xmlmap::getInputRegisters(QVector<input_reg_t *> &out) const {
    out += m_inputs;
    return out.size();
}

int xmlmap::getRamParams(QVector<holding_t *> &out) const {
    out += m_ramParams;
    return out.size();
}

int xmlmap::getBlocks(QVector<block_t *> &out) const {
    out += m_blocks;
    return out.size();
}

int xmlmap::getCoils(QVector<coil_t *> &out) const {
    out += m_coils;
    return out.size();
}

int xmlmap::getDiscreteInputs(QVector<coil_t *> &out) const {
    out += m_discreteInputs;
    return out.size();
}

void xmlmap::checkPollLimits() {
    const int normal = normalHoldingCount();
    if (normal > kMaxRegistersPerRead) {
        warn(0, QStringLiteral("block"),
             tr("%1 normal holdings: one poll reads at most %2").arg(normal).arg(kMaxRegistersPerRead));
    }
    if (m_inputs.size() > kMaxRegistersPerRead) {
        warn(0, QStringLiteral("Input_Register"),
             tr("%1 input registers: one poll reads at most %2")
                 .arg(m_inputs.size())
                 .arg(kMaxRegistersPerRead));
    }
}

// ---- records and warnings -----------------------------------------------------------------------

holding_t *xmlmap::newHolding(holding_t &&source) {
    m_holdingArena.push_back(std::make_unique<holding_t>(std::move(source)));
    return m_holdingArena.back().get();
}

input_reg_t *xmlmap::newInputRegister(input_reg_t &&source) {
    m_inputArena.push_back(std::make_unique<input_reg_t>(std::move(source)));
    return m_inputArena.back().get();
}

void xmlmap::warn(const QDomNode &node, const QString &reason) {
    warn(node.lineNumber(), node.nodeName(), reason);
}

void xmlmap::warn(int line, const QString &element, const QString &reason) {
    m_warnings.append(ReadWarning{std::max(line, 0), element, reason});
}
