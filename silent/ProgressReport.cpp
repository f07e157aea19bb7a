#include "silent/ProgressReport.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "engine/ProgressMessage.h"

namespace tessel {
namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void BeginMessage(JsonWriter& writer, MessageStyle style) {
    writer.StartObject();
    writer.Key("Name");
    writer.String(kProgressSenderName);
    writer.Key("Style");
    writer.Int(static_cast<int>(style));
}

}  // namespace

std::string FormatProgressMessage(MessageStyle style, int param) {
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    BeginMessage(writer, style);
    writer.Key("Param");
    writer.Int(param);
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::string FormatDriverLineMessage(std::string_view line) {
    // The channel carries zero-terminated text: anything after a zero byte would be cut off by the
    // reader anyway, and JSON-escaping it as \u0000 would hand the window a truncated string.
    line = line.substr(0, line.find('\0'));
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    BeginMessage(writer, MessageStyle::DriverLine);
    writer.Key("sParam");
    writer.String(line.data(), static_cast<rapidjson::SizeType>(line.size()));
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

int ExtractionPercent(size_t done, size_t total) {
    // The last item always reports the whole range: for some totals the product below would
    // come out a hair under 100 in floating point and truncate to 99.
    if (done >= total) {
        return kExtractionRange;
    }
    const double perItem = static_cast<double>(kExtractionRange) / static_cast<double>(total);
    return static_cast<int>(static_cast<double>(done) * perItem);
}

}  // namespace tessel
