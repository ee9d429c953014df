#include "commandinterpreter.h"

#include <QRegularExpression>

#include "driveserver.h"

namespace {

CommandInterpreter::Result failure(const QString &message) {
    return {false, false, message};
}

std::optional<int> parseHexByte(const QString &text) {
    QString digits = text;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = digits.mid(2);
    }
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    if (!ok || value < 1 || value > 0x7F) {
        return std::nullopt;
    }
    return value;
}

// Register words may be given unsigned (0..65535) or as signed 16-bit values.
std::optional<quint16> parseWord(const QString &text) {
    const auto value = CommandInterpreter::parseNumber(text);
    if (!value || *value < -32768 || *value > 65535) {
        return std::nullopt;
    }
    return quint16(*value);
}

}  // namespace

std::optional<int> CommandInterpreter::parseNumber(const QString &text) {
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        value = text.mid(2).toInt(&ok, 16);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? std::optional<int>(value) : std::nullopt;
}

CommandInterpreter::Result CommandInterpreter::execute(const QString &line) {
    QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<DriveServer *> targets = m_drives;
    if (!words.isEmpty() && words.first().startsWith(QLatin1Char('@'))) {
        const auto address = parseNumber(words.takeFirst().mid(1));
        targets.clear();
        for (DriveServer *drive : m_drives) {
            if (address && drive->address() == *address) {
                targets.append(drive);
            }
        }
        if (targets.isEmpty()) {
            return failure(QStringLiteral("no simulated drive at that address"));
        }
    }
    if (words.isEmpty()) {
        return failure(QStringLiteral("empty command"));
    }
    return run(words, targets);
}

CommandInterpreter::Result CommandInterpreter::run(const QStringList &words,
                                                   const QList<DriveServer *> &targets) {
    const QString &name = words.first();
    if (name == QLatin1String("quit") && words.size() == 1) {
        return {true, true, {}};
    }
    if (name == QLatin1String("silent") && words.size() == 2 &&
        (words[1] == QLatin1String("on") || words[1] == QLatin1String("off"))) {
        for (DriveServer *drive : targets) {
            drive->faults().setSilent(words[1] == QLatin1String("on"));
        }
        return {};
    }
    if (name == QLatin1String("exception")) {
        return runException(words, targets);
    }
    if (name == QLatin1String("delay") || name == QLatin1String("drop") || name == QLatin1String("corrupt")) {
        return runCount(words, targets);
    }
    if (name == QLatin1String("set-input") || name == QLatin1String("set-holding")) {
        return runForce(words, targets, name == QLatin1String("set-input"));
    }
    return failure(QStringLiteral("unknown command or wrong arguments"));
}

CommandInterpreter::Result CommandInterpreter::runException(const QStringList &words,
                                                            const QList<DriveServer *> &targets) {
    if (words.size() == 2 && words[1] == QLatin1String("clear")) {
        for (DriveServer *drive : targets) {
            drive->faults().clearExceptions();
        }
        return {};
    }
    if (words.size() != 4) {
        return failure(QStringLiteral("usage: exception <fc-hex> <register|*> <code> | exception clear"));
    }
    FaultSettings::ExceptionRule rule;
    const auto function = parseHexByte(words[1]);
    const auto code = parseNumber(words[3]);
    if (!function || !code || *code < 1 || *code > 0xFF) {
        return failure(QStringLiteral("function code (hex 01..7F) or exception code (1..255) out of range"));
    }
    rule.functionCode = quint8(*function);
    rule.exceptionCode = quint8(*code);
    if (words[2] != QLatin1String("*")) {
        const auto reg = parseNumber(words[2]);
        if (!reg || *reg < 0 || *reg > 0xFFFF) {
            return failure(QStringLiteral("register out of range (0..65535 or *)"));
        }
        rule.startRegister = quint16(*reg);
    }
    for (DriveServer *drive : targets) {
        drive->faults().addException(rule);
    }
    return {};
}

CommandInterpreter::Result CommandInterpreter::runCount(const QStringList &words,
                                                        const QList<DriveServer *> &targets) {
    const auto value = words.size() == 2 ? parseNumber(words[1]) : std::nullopt;
    if (!value || *value < 0 || *value > 600000) {
        return failure(QStringLiteral("expects one number from 0 to 600000"));
    }
    for (DriveServer *drive : targets) {
        if (words[0] == QLatin1String("delay")) {
            drive->faults().setDelayMs(*value);
        } else if (words[0] == QLatin1String("drop")) {
            drive->faults().setDropEvery(*value);
        } else {
            drive->faults().setCorruptEvery(*value);
        }
    }
    return {};
}

CommandInterpreter::Result CommandInterpreter::runForce(const QStringList &words,
                                                        const QList<DriveServer *> &targets, bool input) {
    const auto address = words.size() == 3 ? parseNumber(words[1]) : std::nullopt;
    const auto value = words.size() == 3 ? parseWord(words[2]) : std::nullopt;
    if (!address || !value) {
        return failure(QStringLiteral("usage: %1 <register> <value -32768..65535>").arg(words[0]));
    }
    for (DriveServer *drive : targets) {
        const bool done = input ? drive->forceInput(*address, *value) : drive->forceHolding(*address, *value);
        if (!done) {
            return failure(QStringLiteral("register %1 does not exist").arg(*address));
        }
    }
    return {};
}
