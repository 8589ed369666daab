#include "config/model_info.h"

#include "config/model_file.h"
#include "config/profile_file.h"

#include <algorithm>
#include <array>

ModelInfo ParseModelEntry(const QString& value)
{
    ModelInfo model;
    const qsizetype comma = value.indexOf(u',');
    if (comma < 0) {
        model.modelName = value;
        return model;
    }
    model.modelName = value.first(comma);
    // Each field is three characters wide with one separator after it; a field
    // is read where it should be, not found by splitting at commas.
    constexpr std::array<qsizetype, 5> offsets{1, 5, 9, 13, 17};
    std::array<int, 5> numbers{};
    for (size_t i = 0; i < offsets.size(); ++i) {
        const qsizetype start = comma + offsets[i];
        if (start < value.size())
            numbers[i] = CProfileFile::ParseLeadingInt(QStringView(value).sliced(start).first(
                std::min<qsizetype>(3, value.size() - start)));
    }
    model.interfaceMask = numbers[0];
    model.modelType = CModelType::FromNumber(numbers[1]);
    model.receiptWidth = numbers[2];
    model.downMax = numbers[3];
    model.memorySize = numbers[4];
    return model;
}

std::vector<ModelInfo> ReadModelCatalogue(const CProfileFile& file)
{
    std::vector<ModelInfo> models;
    for (int i = 1; i <= kMaxCatalogueModels; ++i) {
        const QString value = file.ReadString(kSectionPrinterList, QString::asprintf("PRINTER%02d", i));
        if (value.isEmpty())
            break;
        models.push_back(ParseModelEntry(value));
    }
    return models;
}

const ModelInfo* FindModelByName(const std::vector<ModelInfo>& models, const QString& name)
{
    for (const ModelInfo& model : models) {
        if (model.modelName == name)
            return &model;
    }
    return nullptr;
}
