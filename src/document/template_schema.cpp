#include "document/template_schema.h"

#include "document/section_table.h"
#include "framework/field_mapping.h"

namespace quorvane {

namespace {

constexpr const char* kDescription =
    "A capture-flow template: named sections of the current format. Every key is optional, "
    "since a section may inherit what it leaves out from the section it names as its base. "
    "Names of enumerations are listed as they are written; they are also read in other letter "
    "cases and with spaces around them, where the schema lists them as case-sensitive. Some of "
    "what a schema cannot say is left to lumiflow-check: that inherited sections have names and "
    "no name is given twice, that the bases of image parameters and target ROI definitions exist "
    "and do not loop, that the target ROIs, tasks, image sources and semantic settings that "
    "other sections name exist, that a task ends in a stage its section has, that ranges do not "
    "start above their ends, that the points of a location turn clockwise, and the bounds of "
    "bracketed integer groups. With --strict, it also follows every other name a section "
    "gives to another (the image parameters and format specifications a task names, the tasks "
    "a semantic setting's filter names) and the bases of tasks and format specifications.";

}  // namespace

Json::Value TemplateSchema() {
  SchemaWriter writer;
  Json::Value schema;
  schema["$schema"] = "https://json-schema.org/draft/2020-12/schema";
  schema["title"] = "Capture-flow template";
  schema["description"] = kDescription;
  schema["type"] = "object";
  Json::Value& properties = schema["properties"];
  for (const SectionSpec& section : SectionTable()) {
    if (!section.written) continue;
    QVRef<QV_ParameterFieldBase> fresh = section.create();
    Json::Value element = writer.Reference(*fresh);
    properties[section.key] = section.reading == SectionSpec::Reading::kObject
                                  ? SchemaWriter::OrNull(element)
                                  : SchemaWriter::ListOf(element, true);
  }
  // As lumiflow-check --strict: a key that is not a section is an error, and
  // so is a file without any.
  schema["additionalProperties"] = false;
  schema["minProperties"] = 1;
  schema["$defs"] = writer.Definitions();
  return schema;
}

}  // namespace quorvane
