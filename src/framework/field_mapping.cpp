#include "framework/field_mapping.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quorvane {

void FieldSpec::AppendSignature(const QV_ParameterFieldBase& /*object*/,
                                std::string& /*signature*/) const {}

Json::Value FieldSpec::Describe(const QV_ParameterFieldBase& /*owner*/,
                                SchemaWriter& /*schema*/) const {
  return Json::Value(Json::objectValue);
}

ClassMapping::ClassMapping(std::string typeName, std::vector<FieldPointer> fields,
                           bool ignoresUnknownKeys, EnumTable modes, int elementMode,
                           std::vector<std::pair<std::string, std::string>> descriptions,
                           std::vector<std::pair<std::string, std::string>> olderNames,
                           std::vector<std::pair<std::string, SectionReference>> references)
    : typeName_(std::move(typeName)),
      fields_(std::move(fields)),
      ignoresUnknownKeys_(ignoresUnknownKeys),
      modes_(modes),
      elementMode_(elementMode),
      descriptions_(std::move(descriptions)),
      olderNames_(std::move(olderNames)),
      references_(std::move(references)) {
  byKey_.reserve(fields_.size());
  for (const FieldPointer& field : fields_) {
    byKey_.push_back(field.get());
    hasReadFirst_ = hasReadFirst_ || field->Has(kReadFirst);
    if (!field->Has(kNeverWritten)) writtenUnits_ += field->WrittenUnits();
  }
  std::sort(byKey_.begin(), byKey_.end(), [](const FieldSpec* a, const FieldSpec* b) {
    return std::string_view(a->Key()) < std::string_view(b->Key());
  });
  for (const FieldSpec* field : byKey_) {
    if (!field->Has(kNeverWritten)) writtenByKey_.push_back(field);
  }
}

void FieldSpec::WriteText(QV_ParameterFieldBase& object, StyledText& text, bool flag) const {
  Json::Value json;
  Write(object, json, flag);
  if (const Json::Value* value = FindMember(json, Key())) {
    text.QuotedKey(KeyText());
    text.Value(*value);
  }
}

const IntSpec& ClassMapping::IntKey(std::string_view key) const {
  const auto* field = dynamic_cast<const IntSpec*>(Find(key));
  if (field == nullptr) throw std::logic_error(typeName_ + " has no integer key " + std::string(key));
  return *field;
}

const FieldSpec* ClassMapping::Find(std::string_view key) const {
  auto at = std::lower_bound(byKey_.begin(), byKey_.end(), key,
                             [](const FieldSpec* field, std::string_view k) {
                               return std::string_view(field->Key()) < k;
                             });
  return (at != byKey_.end() && (*at)->Key() == key) ? *at : nullptr;
}

const char* ClassMapping::Description(std::string_view key) const {
  for (const auto& [described, text] : descriptions_) {
    if (described == key) return text.c_str();
  }
  return nullptr;
}

const SectionReference* ClassMapping::Reference(std::string_view key) const {
  for (const auto& [named, reference] : references_) {
    if (named == key) return &reference;
  }
  return nullptr;
}

namespace {

// As deep as the classes nest, which the input cannot change.
bool VisitNestedReferences(const QV_ParameterFieldBase& object, std::string& where,
                           const ReferenceVisitor& visit) {
  const ClassMapping& mapping = object.GetMapping();
  std::vector<std::string_view> texts;
  std::vector<const QV_ParameterFieldBase*> nested;
  for (const FieldPointer& field : mapping.Fields()) {
    if (const SectionReference* reference = mapping.Reference(field->Key())) {
      texts.clear();
      field->AppendTexts(object, texts);
      for (std::string_view name : texts) {
        if (visit(*reference, name, where)) return true;
      }
    }
    nested.clear();
    field->AppendNested(object, nested);
    // A structure read from its owner's own object stands where its owner does.
    const bool keyed = !field->ReadsOwnerObject();
    const bool listed = field->ElementUnits() != 0;
    for (std::size_t i = 0; i < nested.size(); ++i) {
      const std::size_t mark = where.size();
      if (keyed) {
        if (!where.empty()) where += ':';
        where += field->Key();
        if (listed) where += '[' + std::to_string(i) + ']';
      }
      const bool stopped = VisitNestedReferences(*nested[i], where, visit);
      where.resize(mark);
      if (stopped) return true;
    }
  }
  return false;
}

}  // namespace

bool VisitSectionReferences(const QV_ParameterFieldBase& object, const ReferenceVisitor& visit) {
  std::string where;
  return VisitNestedReferences(object, where, visit);
}

void ApplyDefaults(const ClassMapping& mapping, QV_ParameterFieldBase& object) {
  for (const FieldPointer& field : mapping.Fields()) field->Reset(object);
}

// ---------------------------------------------------------------------------
// SchemaWriter

Json::Value SchemaWriter::Integer(int minimum, int maximum) {
  Json::Value schema;
  schema["type"] = "integer";
  schema["minimum"] = minimum;
  schema["maximum"] = maximum;
  return schema;
}

namespace {

// A regular expression that matches `name` in any letter case.
std::string CaselessPattern(std::string_view name) {
  std::string pattern;
  for (char c : name) {
    const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (upper != lower) {
      pattern += '[';
      pattern += upper;
      pattern += lower;
      pattern += ']';
    } else if ((c >= '0' && c <= '9') || c == '_') {
      pattern += c;
    } else {
      pattern += '\\';
      pattern += c;
    }
  }
  return pattern;
}

}  // namespace

Json::Value SchemaWriter::Names(EnumTable names, EnumTable more, int refused, bool exact) {
  Json::Value listed;
  listed["type"] = "string";
  Json::Value& values = listed["enum"];
  values = Json::Value(Json::arrayValue);
  std::string alternatives;
  for (EnumTable table : {names, more}) {
    for (const EnumEntry& entry : table) {
      if (entry.value == refused) continue;
      bool known = false;
      for (const Json::Value& value : values) known = known || value.asString() == entry.name;
      if (known) continue;
      values.append(entry.name);
      if (!alternatives.empty()) alternatives += '|';
      alternatives += CaselessPattern(entry.name);
    }
  }
  if (exact) return listed;
  // The reader folds letter case and passes over spaces around a name.
  Json::Value folded;
  folded["type"] = "string";
  folded["pattern"] = "^ *(" + alternatives + ") *$";
  Json::Value either;
  either["anyOf"].append(std::move(listed));
  either["anyOf"].append(std::move(folded));
  return either;
}

Json::Value SchemaWriter::Null() {
  Json::Value schema;
  schema["type"] = "null";
  return schema;
}

Json::Value SchemaWriter::OrNull(Json::Value schema) {
  Json::Value either;
  either["anyOf"].append(std::move(schema));
  either["anyOf"].append(Null());
  return either;
}

Json::Value SchemaWriter::ListOf(Json::Value items, bool emptyAllowed) {
  Json::Value array;
  array["type"] = "array";
  array["items"] = std::move(items);
  if (!emptyAllowed) array["minItems"] = 1;
  return OrNull(std::move(array));
}

bool SchemaWriter::IsDefined(const ClassMapping& mapping) const {
  return names_.count(&mapping) != 0;
}

Json::Value SchemaWriter::ReferenceTo(const ClassMapping& mapping) const {
  Json::Value reference;
  reference["$ref"] = "#/$defs/" + names_.at(&mapping);
  return reference;
}

Json::Value SchemaWriter::Reference(QV_ParameterFieldBase& fresh) {
  if (!IsDefined(fresh.GetMapping())) Define(fresh);
  return ReferenceTo(fresh.GetMapping());
}

void SchemaWriter::Define(QV_ParameterFieldBase& fresh) {
  const ClassMapping& mapping = fresh.GetMapping();
  std::string name = mapping.TypeName();
  while (definitions_.count(name) != 0) name += "_";
  names_[&mapping] = name;
  definitions_[name] = Json::Value(Json::objectValue);  // taken before its keys refer back

  fresh.WriteToJson(false);
  const Json::Value written = fresh.json;
  Json::Value definition;
  definition["type"] = "object";
  definition["title"] = mapping.TypeName();
  Json::Value& properties = definition["properties"];
  properties = Json::Value(Json::objectValue);
  for (const FieldPointer& field : mapping.Fields()) {
    Json::Value property = field->Describe(fresh, *this);
    if (const char* description = mapping.Description(field->Key())) {
      property["description"] = description;
    }
    if (const Json::Value* value = written.find(field->Key(), field->Key() + std::strlen(field->Key()));
        value != nullptr && !field->Has(kNeverWritten)) {
      property["default"] = *value;
    }
    properties[field->Key()] = std::move(property);
  }
  // The reader refuses keys it does not know, unless the class reads from
  // an object that holds other keys too.
  if (!mapping.IgnoresUnknownKeys()) definition["additionalProperties"] = false;
  definitions_[name] = std::move(definition);
}

Json::Value SchemaWriter::Definitions() const {
  Json::Value definitions(Json::objectValue);
  for (const auto& [name, definition] : definitions_) definitions[name] = definition;
  return definitions;
}

}  // namespace quorvane
