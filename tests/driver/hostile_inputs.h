#pragma once

// Texts that nobody writes on purpose but users hand over anyway: deep
// nesting, huge arrays, numbers beyond 64 bits, NUL bytes, broken UTF-8,
// byte-order marks, and every key of a real template given every JSON type.
// They are made here rather than committed: some are tens of megabytes.

#include <json/json.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/json_text.h"

namespace quorvane::testing {

struct HostileText {
  std::string name;
  std::string text;
};

// `section` is the key an array is put under, so that the text reaches past
// the parser into the reader of a section.
inline std::vector<HostileText> HostileTexts(const std::string& section) {
  const std::string open = "{\"" + section + "\": ";
  const std::size_t deep = 100000;
  std::vector<HostileText> texts = {
      {"arrays nested 100000 deep", std::string(deep, '[') + std::string(deep, ']')},
      {"unclosed arrays 100000 deep", std::string(deep, '[')},
      {"section nested 100000 deep", open + std::string(deep, '[') + std::string(deep, ']') + "}"},
      {"integers beyond 64 bits",
       open + "[18446744073709551616, -9223372036854775809, 4294967296, -2147483649,"
              " 123456789012345678901234567890]}"},
      {"reals beyond a double", open + "[1e400, -1e400, 1e-400, 1.5e308]}"},
      {"number of 10000 digits", open + "[" + std::string(10000, '9') + "]}"},
      {"NUL byte after the text", open + "[]}" + std::string(1, '\0') + "{garbage"},
      {"NUL byte first", std::string(1, '\0') + open + "[]}"},
      {"NUL byte inside a string", open + "[{\"Name\": \"a" + std::string(1, '\0') + "b\"}]}"},
      {"escaped NUL in a key and a name",
       "{\"Na\\u0000me\": 1, \"" + section + "\": [{\"Name\": \"a\\u0000b\"}]}"},
      {"invalid UTF-8 in a name", open + "[{\"Name\": \"\xff\xfe\xc0\xaf\xed\xa0\x80\xe2\x82\"}]}"},
      {"invalid UTF-8 in a key", "{\"\xff\xc3\": 1, \"" + section + "\": []}"},
      {"lone surrogate escapes", open + "[{\"Name\": \"\\ud800\\udfff\\udc00x\"}]}"},
      {"byte-order mark", "\xef\xbb\xbf" + open + "[]}"},
      {"byte-order mark inside", open + "\xef\xbb\xbf[]}"},
      {"4 MB name", open + "[{\"Name\": \"" + std::string(std::size_t{4} << 20, 'n') + "\"}]}"},
  };
  return texts;
}

// More sections than any template holds under `section`, in a megabyte.
inline HostileText ManySectionsText(const std::string& section) {
  std::string many = "{\"" + section + "\": [";
  for (std::size_t i = 0; i < 70000; ++i) many += "{\"Name\":\"s" + std::to_string(i) + "\"},";
  many += "{\"Name\":\"last\"}]}";
  return {"70000 named sections", std::move(many)};
}

// 50 MB of array elements under `section`.
inline HostileText HugeArrayText(const std::string& section) {
  std::string huge = "{\"" + section + "\": [";
  huge.reserve((std::size_t{50} << 20) + 8);
  while (huge.size() < (std::size_t{50} << 20)) huge += "0,";
  huge += "0]}";
  return {"50 MB array", std::move(huge)};
}

// `count` sections under `section`, each the base (by `baseKey`) of the one
// before it: a chain that ends at a section without a base or, with
// `looping`, comes back to the first.
inline HostileText BaseChainText(const std::string& section, const std::string& baseKey,
                                 int count, bool looping) {
  std::string chain = "{\"" + section + "\": [";
  for (int i = 0; i < count; ++i) {
    const int base = i + 1 < count ? i + 1 : 0;
    chain += std::string(i > 0 ? "," : "") + "{\"Name\":\"s" + std::to_string(i) + "\"";
    if (i + 1 < count || looping) chain += ",\"" + baseKey + "\":\"s" + std::to_string(base) + "\"";
    chain += "}";
  }
  chain += "]}";
  return {std::to_string(count) + (looping ? " bases in a loop" : " bases in a chain"),
          std::move(chain)};
}

// Legacy texts whose few bytes ask the conversion for much: bare mode names
// that become whole mode objects, empty image parameters that become three
// sections each, and regions that each take a copy of a long task.
inline std::vector<HostileText> ExpandingLegacyTexts() {
  std::string regions;
  std::string regionNames;
  for (int i = 0; i < 20000; ++i) {
    const std::string name = "\"r" + std::to_string(i) + "\"";
    regions += std::string(i > 0 ? "," : "") + "{\"Name\":" + name + ",\"BarcodeFormatIds\":[]}";
    regionNames += std::string(i > 0 ? "," : "") + name;
  }
  return {
      {"300000 bare binarization names",
       R"({"ImageParameter": {"BinarizationModes": [)" + Repeated("\"BM_AUTO\"", 300000) + "]}}"},
      {"300000 bare deformation names",
       R"({"ImageParameter": {"DeformationResistingModes": [)" +
           Repeated("\"DRM_GENERAL\"", 300000) + "]}}"},
      {"100000 empty image parameters",
       R"({"ImageParameterContentArray": [)" + Repeated("{}", 100000) + "]}"},
      {"20000 regions copying a task of 5000 names",
       R"({"RegionDefinitionArray": [)" + regions + R"(], "ImageParameter": {)" +
           R"("FormatSpecificationNameArray": [)" + Repeated("\"f\"", 5000) +
           R"(], "RegionDefinitionNameArray": [)" + regionNames + "]}}"},
  };
}

// For every member of every object in `base` (a JSON text; comments
// allowed), and for the root itself, the text of `base` with that value
// replaced by each JSON type in turn. Named by the path of the member.
inline std::vector<HostileText> EveryKeyEveryType(const std::string& base) {
  // Written as they stand: some cannot be held by a JSON value.
  static const std::string kEveryType[] = {
      "null", "2147483648", "18446744073709551616", "1.5", "\"x\"", "[]", "{}"};
  Json::Value root;
  Json::Reader reader(Json::Features::all());
  if (!reader.parse(base, root, false)) return {};
  // The value is put in as a string that cannot occur otherwise, and its
  // quoted form is then replaced by the raw text.
  static const std::string kMarker = "\x01hostile\x01";
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  const std::string quotedMarker = Json::writeString(builder, Json::Value(kMarker));
  const auto withValue = [&](Json::Value& slot, const std::string& value) {
    const Json::Value saved = slot;
    slot = kMarker;
    std::string text = Json::writeString(builder, root);
    slot = saved;
    text.replace(text.find(quotedMarker), quotedMarker.size(), value);
    return text;
  };

  std::vector<HostileText> texts;
  for (const std::string& value : kEveryType) texts.push_back({"root=" + value, value});
  // Paths, walked with a stack: no recursion follows the input.
  std::vector<std::pair<Json::Value*, std::string>> pending = {{&root, ""}};
  while (!pending.empty()) {
    auto [node, path] = pending.back();
    pending.pop_back();
    if (node->isArray()) {
      for (Json::ArrayIndex i = 0; i < node->size(); ++i) {
        pending.push_back({&(*node)[i], path + "[" + std::to_string(i) + "]"});
      }
      continue;
    }
    if (!node->isObject()) continue;
    for (const std::string& key : node->getMemberNames()) {
      Json::Value& member = (*node)[key];
      const std::string memberPath = path + "." + key;
      for (const std::string& value : kEveryType) {
        texts.push_back({memberPath + "=" + value, withValue(member, value)});
      }
      pending.push_back({&member, memberPath});
    }
  }
  return texts;
}

}  // namespace quorvane::testing
