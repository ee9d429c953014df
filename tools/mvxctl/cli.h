#pragma once

#include <QCommandLineParser>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "map/readwarning.h"

// Small pieces the mvxctl commands share: argument parsing, output streams, JSON numbers.
namespace cli {

QTextStream &out();
QTextStream &err();

// Parses args (the words after the command name) into parser; on error prints it with the
// command's usage and returns false.
bool parse(QCommandLineParser &parser, const QStringList &args, const QString &usage);

// A float as JSON with the digits a person wrote in the file (0.1, not 0.100000001).
QJsonValue jsonFloat(float value);

// Prints the compact JSON text of a document.
void printJson(const QJsonValue &value);

QJsonValue warningsJson(const ReadWarnings &warnings);
void printWarnings(const ReadWarnings &warnings);

}  // namespace cli
