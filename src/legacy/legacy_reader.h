#pragma once

// The legacy template reader: fills a template document from one legacy
// template text and writes the result as a current-format template. The
// legacy format specifications become format specifications; each legacy
// image parameter n becomes the image parameter "IP_" + n, the barcode reader
// task "BR_" + n, a target ROI definition per region it names (with a task
// of its own where the region reads otherwise) and the capture-flow template
// "Default_" + n. Every task decodes with the shared image parameter
// "IP_Decode".
//
// A legacy "ImageParameter" object carries what the current format keeps in
// three sections, each reading its own keys of the object (and skipping the
// others) with its legacy mapping, in this order:
//   - the image parameter: OldImageParameterReader (legacy_image_parameter.h);
//   - the barcode reader task, with the names of the regions and format
//     specifications it applies to: OldBarcodeReaderTaskSetting
//     (legacy_barcode.h);
//   - the capture-flow template: OldLumiflowSetting ("Timeout").
// The regions become target ROI definitions (legacy_region.h). A key that
// none of them reads is not carried over.

#include <json/json.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "captureflow/lumiflow_setting.h"
#include "framework/failure.h"
#include "framework/key_accounting.h"
#include "document/template_document.h"
#include "legacy/legacy_region.h"

namespace quorvane {

// The top-level keys of a legacy template: each kind of legacy object is
// given as one object, an array of them, or both.
struct LegacyRootKey {
  const char* single;
  const char* array;
};
std::span<const LegacyRootKey> LegacyRootKeys();
// Whether `root` holds a top-level key of a legacy template.
bool HasLegacyTemplateKey(const Json::Value& root);

// What a text is, as the legacy reader tells the formats apart: a legacy
// template (a root object with a legacy key), a current-format one (a root
// object with a template section and no legacy key), other JSON, or no JSON
// at all (text after the root value included).
enum class TemplateFormat { Legacy, Current, OtherJson, NotJson };
TemplateFormat FormatOfText(std::string_view text);

// A capture-flow template as the conversion builds it. It reads from a
// legacy image parameter only its time limit: "Timeout", taken when it is an
// integer above 0 and passed over otherwise.
class OldLumiflowSetting : public QV_LumiflowSetting {
 public:
  QV_MAPPED_CLASS()
};

// What one read made of the legacy objects, in the order it read them: for
// a report of the conversion.
struct ConversionRecord {
  struct ImageParameter {
    std::string legacyName;  // its "Name" when that is a string, else empty
    int position = 0;        // 1 for the first image parameter read, and so on
    std::string imageParameter;
    // The task that reads on the whole image; empty when the regions took
    // all of its formats.
    std::string task;
    std::string captureFlowTemplate;
    std::vector<std::string> regions;  // the regions it was applied to, in order
  };
  struct Region {
    std::string name;
    // Empty for a region that no image parameter named.
    std::string targetROIDef;
    std::vector<std::string> tasks;
  };
  std::vector<std::string> formatSpecifications;
  std::vector<Region> regions;
  std::vector<ImageParameter> imageParameters;
};

class ZQA_OldParameterReader {
 public:
  // Clears the document and converts the legacy template `text` (up to its
  // first NUL byte; comments allowed, but nothing else after the root
  // value) into it. Returns no failure, or the first one, which ends the
  // read. A text that is not a legacy template fails, a current-format one
  // too: `format` tells which. A failure to get memory is thrown, for the
  // guard of the entry point that called it.
  Failure ReadTemplate(const char* text);
  // ReadTemplate as a code, with the failure's message in `errorMessage`
  // (empty when the code says it all; left alone on success).
  int ReadOldTemplate(const char* text, std::string& errorMessage);

  // What the last read found the text to be.
  TemplateFormat format = TemplateFormat::NotJson;

  // The current-format template of the document: its capture-flow
  // templates, format specifications, barcode reader tasks, global
  // parameter, image parameters and target ROI definitions, styled. Written
  // straight from the sections, byte for byte the styled text of
  // NewTemplateTree().
  void OutputNewTemplate(std::string& text);
  // The same template as a tree of JSON values, each section by WriteToJson.
  Json::Value NewTemplateTree();

  // The sections made by the conversion.
  QV_LMFParameter document;
  // Legacy image parameters started in this read.
  int imageParameterCount = 0;
  // The capture-flow templates made by the conversion, in creation order.
  std::vector<OldLumiflowSetting> lumiflowSettings;
  // What the last successful read made.
  ConversionRecord record;
  // Set before a read to have it fill notCarriedOver and changes.
  bool collectNotCarriedOver = false;
  // After a successful read with collectNotCarriedOver: the JSON path of
  // every key of the legacy text that no part of the conversion used
  // ("Comment", "ImageParameterContentArray[1].Timoeut"), in key order.
  std::vector<std::string> notCarriedOver;
  // And every value the conversion read and did not carry over as given
  // (a "Timeout" of the wrong type, an unknown mode name, a region name that
  // names no region, ...), in the order it met them.
  std::vector<KeyAccounting::NamedChange> changes;

 private:
  Failure ReadParsedTemplate(const Json::Value& root);
  Failure ConvertImageParameter(const Json::Value& value, const RegionIndex& regions,
                                ConversionBudget& budget);
};

}  // namespace quorvane
