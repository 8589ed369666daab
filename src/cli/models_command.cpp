#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_json.h"
#include "cli/cli_model.h"
#include "config/model_info.h"
#include "config/profile_file.h"
#include "operations/printer_kind_table.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QStringList InterfaceList(int mask)
{
    QStringList names;
    if (mask & 1)
        names << "Serial";
    if (mask & 2)
        names << "Parallel";
    if (mask & 4)
        names << "USB";
    if (mask & 8)
        names << "Ethernet";
    return names;
}

QString InterfaceNames(int mask)
{
    const QStringList names = InterfaceList(mask);
    return names.isEmpty() ? QStringLiteral("-") : names.join(',');
}

QJsonObject ModelJson(const ModelInfo& model, const QString& current)
{
    QJsonObject entry;
    entry.insert("name", model.modelName);
    entry.insert("current", model.modelName == current);
    entry.insert("modelType", model.modelType.Number());
    entry.insert("modelTypeText", ModelTypeText(model.modelType));
    entry.insert("receiptWidth", model.receiptWidth);
    entry.insert("maxLogos", model.downMax);
    entry.insert("memoryKBytes", model.memorySize);
    entry.insert("interfaces", QJsonArray::fromStringList(InterfaceList(model.interfaceMask)));
    return entry;
}

}  // namespace

int RunModelsCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelFileOption(parser);
    parser.addOption({"json", "Print {\"modelFile\", \"current\", \"models\": [{\"name\", \"current\", \"modelType\", "
                              "\"modelTypeText\", \"receiptWidth\", \"maxLogos\", \"memoryKBytes\", "
                              "\"interfaces\"}]} instead."});
    if (auto done = ParseCommandLine(parser, args, "Lists the printer models of the model file, one a line:\n"
                                                   "name, kind, kind text, width in dots, most logos, NV memory "
                                                   "in KByte, interfaces; tab-separated. '*' marks the current model."))
        return *done;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError("models takes no file names.");
        return kExitUsage;
    }
    const QString path = ModelFileOption(parser);
    if (!QFileInfo(path).isFile()) {
        PrintError(QStringLiteral("Cannot read the model file %1. Name one with --nv-inf.").arg(path));
        return kExitFailed;
    }
    const CProfileFile profile(path);
    const QString current = profile.ReadString("COMMON", "ModelName");
    if (parser.isSet("json")) {
        QJsonArray models;
        for (const ModelInfo& model : ReadModelCatalogue(profile))
            models.append(ModelJson(model, current));
        PrintJson(QJsonObject{{"modelFile", path}, {"current", current}, {"models", models}});
        return kExitOk;
    }
    for (const ModelInfo& model : ReadModelCatalogue(profile)) {
        PrintOut(QStringLiteral("%1%2\t%3\t%4\t%5\t%6\t%7\t%8")
                     .arg(model.modelName == current ? "*" : "", model.modelName)
                     .arg(model.modelType.Number())
                     .arg(ModelTypeText(model.modelType))
                     .arg(model.receiptWidth)
                     .arg(model.downMax)
                     .arg(model.memorySize)
                     .arg(InterfaceNames(model.interfaceMask)));
    }
    return kExitOk;
}
