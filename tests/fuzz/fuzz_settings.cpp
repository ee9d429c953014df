// settings.xml reader. Whatever a file holds, saving what was read and reading the saved
// file again must give back the same values: a save is the only copy the program keeps.
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "app/settings.h"
#include "fuzzsupport.h"

namespace {

// Every input saves a file; scripts/fuzz.sh points TMPDIR at tmpfs, where that costs little.
// libFuzzer ends without running destructors, so the script also removes the directory.
QTemporaryDir *workDir() {
    static QTemporaryDir dir;
    return &dir;
}

// A carriage return read from "&#13;" is written as itself, and XML reads every line end
// back as a line feed; values never hold line breaks that matter, so that change is allowed.
QString lineEndsNormalised(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void checkSameValues(const settings &a, const settings &b) {
    FUZZ_CHECK(lineEndsNormalised(a.getLanguaje()) == b.getLanguaje(), "Languaje survives a save");
    FUZZ_CHECK(a.getDo_Logging() == b.getDo_Logging(), "Do_Logging survives a save");
    FUZZ_CHECK(lineEndsNormalised(a.getLog_Dir().path()) == b.getLog_Dir().path(), "Log_Dir survives a save");
    FUZZ_CHECK(lineEndsNormalised(a.getCfg_Dir().path()) == b.getCfg_Dir().path(), "Cfg_Dir survives a save");
    FUZZ_CHECK(lineEndsNormalised(a.getLast_Com()) == b.getLast_Com(), "Last_Com survives a save");
    FUZZ_CHECK(lineEndsNormalised(a.getXML_drive()) == b.getXML_drive(), "XML_drive survives a save");
    FUZZ_CHECK(a.getModbus_Add() == b.getModbus_Add(), "Modbus_Add survives a save");
    FUZZ_CHECK(a.getModbus_Speed() == b.getModbus_Speed(), "Modbus_Speed survives a save");
    FUZZ_CHECK(a.getModbus_Config() == b.getModbus_Config(), "Modbus_Config survives a save");
    FUZZ_CHECK(a.getPoll_Interval() == b.getPoll_Interval(), "Poll_Interval survives a save");
    FUZZ_CHECK(a.getInput_Register_Tab() == b.getInput_Register_Tab(), "Input_Register_Tab survives a save");
    FUZZ_CHECK(a.getHolding_Register_Tab() == b.getHolding_Register_Tab(),
               "Holding_Register_Tab survives a save");
    FUZZ_CHECK(a.getAux_Register_Tab() == b.getAux_Register_Tab(), "Aux_Register_Tab survives a save");
    FUZZ_CHECK(a.getTools_Tab() == b.getTools_Tab(), "Tools_Tab survives a save");
    FUZZ_CHECK(a.getTest_Tab() == b.getTest_Tab(), "Test_Tab survives a save");
    FUZZ_CHECK(a.getDocks_Layout() == b.getDocks_Layout(), "Docks_Layout survives a save");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = workDir()->filePath(QStringLiteral("settings.xml"));
    settings fromInput(path);
    fromInput.readData(fuzzsupport::bytes(data, size));
    FUZZ_CHECK(fromInput.save(), "settings saved");
    settings reread(path);
    FUZZ_CHECK(reread.warnings().isEmpty(), "a saved settings file reads without warnings");
    checkSameValues(fromInput, reread);
    return 0;
}
