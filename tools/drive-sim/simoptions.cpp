#include "simoptions.h"

#include "commandinterpreter.h"

namespace {

bool parseRanged(const QString &text, int low, int high, int *value) {
    const auto parsed = CommandInterpreter::parseNumber(text.trimmed());
    if (!parsed || *parsed < low || *parsed > high) {
        return false;
    }
    *value = *parsed;
    return true;
}

bool parseAddresses(const QString &text, QList<int> *addresses) {
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        int address = 0;
        if (!parseRanged(part, 1, 247, &address)) {
            return false;
        }
        if (!addresses->contains(address)) {
            addresses->append(address);
        }
    }
    return true;
}

bool parseWordOption(const QString &text, std::optional<quint16> *out) {
    int value = 0;
    if (!parseRanged(text, 0, 0xFFFF, &value)) {
        return false;
    }
    *out = quint16(value);
    return true;
}

bool applyValue(const QString &name, const QString &value, SimOptions *o) {
    int number = 0;
    if (name == QLatin1String("--port")) {
        o->port = value;
    } else if (name == QLatin1String("--tcp")) {
        o->tcp = value;
    } else if (name == QLatin1String("--speed")) {
        if (!parseRanged(value, 1, 4000000, &number)) {
            return false;
        }
        o->speed = number;
    } else if (name == QLatin1String("--framing")) {
        if (!parseRanged(value, 0, 255, &number)) {
            return false;
        }
        o->framing = number;
    } else if (name == QLatin1String("--address")) {
        return parseAddresses(value, &o->addresses);
    } else if (name == QLatin1String("--map")) {
        o->mapFile = value;
    } else if (name == QLatin1String("--log")) {
        o->logFile = value;
    } else if (name == QLatin1String("--image-dir")) {
        o->imageDir = value;
    } else if (name == QLatin1String("--model")) {
        return parseWordOption(value, &o->model);
    } else if (name == QLatin1String("--version")) {
        return parseWordOption(value, &o->version);
    } else if (name == QLatin1String("--user-version")) {
        return parseWordOption(value, &o->userVersion);
    } else if (name == QLatin1String("--status")) {
        return parseWordOption(value, &o->status);
    } else if (name == QLatin1String("--access-level")) {
        return parseRanged(value, 0, 3, &o->accessLevel);
    } else if (name == QLatin1String("--processing-ms")) {
        return parseRanged(value, 0, 1000, &o->processingMs);
    }
    return true;
}

const QStringList kValueOptions = {
    QStringLiteral("--port"),    QStringLiteral("--tcp"),          QStringLiteral("--speed"),
    QStringLiteral("--framing"), QStringLiteral("--address"),      QStringLiteral("--map"),
    QStringLiteral("--log"),     QStringLiteral("--image-dir"),    QStringLiteral("--model"),
    QStringLiteral("--version"), QStringLiteral("--user-version"), QStringLiteral("--status")};
// How the drive guards its parameters and how fast its line is.
const QStringList kBehaviourOptions = {QStringLiteral("--access-level"), QStringLiteral("--processing-ms")};

}  // namespace

bool parseSimOptions(const QStringList &arguments, SimOptions *options, QString *error) {
    SimOptions parsed;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
            continue;
        }
        if (argument == QLatin1String("--quit-on-eof")) {
            parsed.quitOnEof = true;
            continue;
        }
        if (argument == QLatin1String("--line-timing")) {
            parsed.lineTiming = true;
            continue;
        }
        if (!kValueOptions.contains(argument) && !kBehaviourOptions.contains(argument)) {
            *error = QStringLiteral("unknown argument '%1'").arg(argument);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(argument);
            return false;
        }
        const QString &value = arguments.at(++i);
        if (!applyValue(argument, value, &parsed)) {
            *error = QStringLiteral("bad value '%1' for %2").arg(value, argument);
            return false;
        }
    }
    if (parsed.addresses.isEmpty()) {
        parsed.addresses.append(1);
    }
    if (!parsed.port.isEmpty() && !parsed.tcp.isEmpty()) {
        *error = QStringLiteral("give --port or --tcp, not both");
        return false;
    }
    if (parsed.port.isEmpty() && parsed.tcp.isEmpty() && !parsed.help) {
        *error = QStringLiteral("--port is required (or --tcp for Modbus TCP)");
        return false;
    }
    *options = parsed;
    return true;
}

QString simUsage() {
    return QStringLiteral(
        "usage: mvx-drive-sim --port P | --tcp [HOST:]PORT [options]\n"
        "\n"
        "A simulated motor drive (or several, on one bus) answering Modbus RTU on a serial port.\n"
        "Prints READY on stdout once the port is open.\n"
        "\n"
        "  --port P          serial device path (pseudo-terminals are fine)\n"
        "  --tcp [HOST:]PORT serve the drives over Modbus TCP as a gateway would (host 127.0.0.1\n"
        "                    by default, an IPv6 one as [::1]; port 0: a free one), each --address\n"
        "                    as its unit id; prints LISTENING tcp://HOST:PORT (tcp://[::1]:PORT)\n"
        "                    before READY. A corrupted answer becomes exception 0x0B, as a\n"
        "                    gateway reports a failed CRC\n"
        "  --speed S         line speed in bps (default 115200)\n"
        "  --framing F       0: no parity, 2 stop bits; 1: odd, 1; 2: even, 1; 3: none, 1; other: none, 2\n"
        "  --address A       Modbus address 1..247; repeat it or give a comma list for several\n"
        "                    drives on the bus, each answering only its own address (default 1)\n"
        "  --map FILE        register map: sizes and names the input registers (what moves how\n"
        "                    follows their unit), holdings start at their default\n"
        "  --log FILE        log every request and answer:\n"
        "                      REQ <address> <FC> <data bytes hex>\n"
        "                      RSP <address> <FC> <data bytes hex> | DROPPED | CORRUPTED | SILENT\n"
        "                      CMD <what the drive did>  (reset, restore defaults, capture, ...)\n"
        "  --image-dir DIR   firmware images received with function 0x64 go to DIR/motor.bin\n"
        "                    and DIR/user.bin, rewritten after every frame\n"
        "  --model N         model number (input 1, holding 1003; default 0x0123 or the map's)\n"
        "  --version N       firmware version (input 0, holdings 1001 and 1002; default 100)\n"
        "  --user-version N  user-controller version (holding 1002; default: --version)\n"
        "  --status N        identification status word (holding 1000; default 0x00A5)\n"
        "  --access-level L  level 0..3 granted at power-up and after a reset (default 0): a write\n"
        "                    to a holding whose map level is above the granted level is answered\n"
        "                    with exception 1 (illegal function) and changes nothing\n"
        "  --line-timing     answer no sooner than a real line at --speed could: request and answer\n"
        "                    at 11 bits per character, each ended by 3.5 characters of silence\n"
        "                    (1.75 ms above 19200 bps), plus the processing time\n"
        "  --processing-ms N the drive's processing time with --line-timing (default 1)\n"
        "  --quit-on-eof     exit when standard input is closed\n"
        "\n"
        "Numbers are decimal or 0x-prefixed hexadecimal.\n"
        "\n"
        "Registers: inputs 0 version, 1 model, others move like a running motor (rpm ramps, A,\n"
        "V, W, Hz, degrees C, %); the map options flags and access_level name the capture-status\n"
        "and access-level inputs. Holding 0: 1 = reset, 2 = restore defaults. Holdings\n"
        "1000..1003: status, motor version, user version, model. Function 16 to holding 2000\n"
        "(level, one register per password character, 0) asks for an access level (passwords\n"
        "1111, 2222, 3333; level 0 needs none; a wrong password keeps the level granted before).\n"
        "Writing 1 to holding 0x5000 starts a capture: 300 ms later bit 0x1000 of the flags\n"
        "input is set. Inputs 0x4000..0x4BFF accelerometer X, Y, Z;\n"
        "0x5000..0x5BFF trace buffers A, B, C (byte-swapped floats). Coils and discrete inputs\n"
        "0..255 exist. Firmware frames (function 0x64) must carry the drive's model, else they\n"
        "are refused with exception 3; accepted ones are answered with model and sub-command.\n"
        "\n"
        "Commands on standard input, one per line, each acknowledged with \"OK <command>\" or\n"
        "\"ERR <command>: <reason>\" on stdout:\n"
        "  silent on|off                           no answers at all\n"
        "  exception <fc-hex> <register|*> <code>  answer that exception for that function\n"
        "                                          and start register (* = any)\n"
        "  exception clear\n"
        "  delay <ms>                              hold back every answer\n"
        "  drop <N>                                drop every Nth answer (0 = off)\n"
        "  corrupt <N>                             damage every Nth answer so its CRC fails (0 = off)\n"
        "  set-input <pos> <value>                 force an input register\n"
        "  set-holding <addr> <value>              force a holding register\n"
        "  quit\n"
        "Prefix a command with @<address> (e.g. \"@247 silent on\") to apply it to one drive only.\n");
}
