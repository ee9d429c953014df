#include "app/registerset.h"

#include <QDebug>

#include "map/xmlmap.h"

RegisterSet RegisterSet::takeFrom(const xmlmap &map) {
    RegisterSet set;
    qDebug() << "get holdings: " << map.getHoldings(set.holdings);
    qDebug() << "get blocks: " << map.getBlocks(set.blocks);
    qDebug() << "get aux holdings: " << map.getAuxHoldings(set.auxHoldings);
    map.getCoils(set.coils);
    map.getDiscreteInputs(set.discreteInputs);
    map.getInputRegisters(set.inputRegisters);
    map.getRamParams(set.ramParams);

    MapOptions &options = set.options;
    options.stopIndex = map.getStopIndex();
    map.getTestFile(options.testFile);
    options.accessLevel = map.getAccessLevel();
    options.flags = map.getFlags();
    options.powerId = map.getPowerId();
    options.powerIq = map.getPowerIq();
    options.powerVd = map.getPowerVd();
    options.powerVq = map.getPowerVq();
    options.col1Width = map.getCol1Width();
    options.col2Width = map.getCol2Width();
    options.col3Width = map.getCol3Width();
    return set;
}
