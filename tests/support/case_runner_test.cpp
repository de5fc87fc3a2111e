// Runs the test cases that are written as data, in tests/<subsystem>/cases/.
//
// A case file is {"class": <class name>, "cases": [<case>, ...]}; comments
// are allowed. A case is an object with:
//   "name"             what it shows (required);
//   "class"            the class to make, when not the file's (see model_registry.h);
//   "read"             a JSON value handed to ReadFromJson; absent: nothing is read;
//   "reads"            several values, read one after another into the same object;
//   "skip"             the skipped keys of the reads;
//   "code"             the result of the last read (default 0);
//   "message"          the object's errorMessage after it;
//   "written"          the whole output of WriteToJson afterwards;
//   "writtenIncludes"  some keys of that output with their values;
//   "unchanged"        true, or a list of keys of "writtenIncludes": what the
//                      case expects is, on purpose, what the object held before
//                      its reads (null or {} keeps the defaults, a skipped key
//                      stays). A case whose reads all succeed must otherwise
//                      expect only values that one of its reads changed, so
//                      that it cannot pass were the key never read (a case
//                      without a read shows what a new object writes); and
//                      a value marked unchanged must not have been changed;
//   "readsBack"        false when the output, read into a new object, is not
//                      written the same again (say why in a comment); by
//                      default it must be, for a case whose reads all succeed.
//
// A file of template documents is {"document": true, "cases": [...]}. Each
// case makes a new document and gives it texts: a string is the text
// itself, any other value stands for its JSON, and null for no text (a read
// of null reads the stored text). A case is an object with:
//   "name"             what it shows (required);
//   "steps"            a list of {"read": text} and {"append": text}, run in
//                      turn with ReadFromString / AppendFromString, each with
//                      its own "code" (default 0) and, when given, "message";
//   "text"             a text read with ReadFromString after the steps;
//   "code"             the result of "text" (default 0);
//   "message"          the document's message at the end;
//   "sections"         {section key: [names]}: the names each listed
//                      collection holds, in its order;
//   "entries"          {section key: {name: JSON}}: what the entry of that
//                      name writes includes this JSON (objects, and arrays
//                      of the same length, are compared member by member, a
//                      missing member as null, the rest whole);
//                      "GlobalParameter" names the global parameter;
//   "firstTemplate"    the name of the first template read;
//   "taskKinds"        {task name: kind code}: every known task name.
//
// A file of runs of an executable is {"run": "lumiflow-convert" or
// "lumiflow-check", "tree": {path: entry}, "cases": [...]}. Each case runs
// in a new scratch tree, its working directory, made of the entries: a
// string is a file's content, {"size": N} a file of N bytes that takes no
// disk space, {"link": target} a symbolic link, {"fifo": true} a named pipe,
// {} a directory. The converter's conversion is a stand-in: an empty text
// fails as unparsable (no message of its own), "unchecked" fails the check
// of the output, a text that starts with "converted:" is a template in the
// current format (skipped, and replaced when it is in the way of an
// output), one that starts with "other:" JSON that is no template, and
// anything else a legacy template that converts to "converted:" + the
// text. A case is an object with:
//   "name"             what it shows (required);
//   "arguments"        the words after the program name;
//   "input"            the standard input (default "KEY"), and "terminal"
//                      true when it counts as a terminal;
//   "status"           the exit status (default 0);
//   "out"              standard output: a string, or a list of lines; or
//                      "outStart", the start of it;
//   "err"              standard error (default empty);
//   "unread"           what is left of the input (default all of it);
//   "files"            {path: content}, null for a path that must not exist.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "document/template_document.h"
#include "driver/conversion_run.h"
#include "driver/temp_tree.h"
#include "driver/check_run.h"
#include "imageparams/small_structures.h"
#include "support/json_text.h"
#include "support/model_registry.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> CaseFiles() {
  std::vector<std::string> files;
  for (const auto& subsystem : fs::directory_iterator(LUMIFLOW_TEST_DATA_DIR)) {
    const fs::path cases = subsystem.path() / "cases";
    if (!fs::is_directory(cases)) continue;
    for (const auto& file : fs::directory_iterator(cases)) {
      if (file.path().extension() == ".json") files.push_back(file.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// "imageparams/cases/binarization_mode.json" -> "imageparams_binarization_mode".
std::string CaseFileLabel(const std::string& path) {
  const fs::path file(path);
  std::string label =
      file.parent_path().parent_path().filename().string() + "_" + file.stem().string();
  std::replace_if(label.begin(), label.end(), [](char c) { return !std::isalnum(c); }, '_');
  return label;
}

// What an object of the class writes before each read of `reads`: the first
// is what a new object writes. Each is made from a new object, so that
// writing never touches the object under test.
std::vector<Json::Value> OutputsBeforeEachRead(const std::string& className,
                                               const std::vector<Json::Value>& reads,
                                               const SkippedKeys& skipped) {
  std::vector<Json::Value> outputs;
  for (std::size_t count = 0; count < reads.size(); ++count) {
    auto object = MakeModelObject(className);
    for (std::size_t i = 0; i < count; ++i) object->ReadFromJson(reads[i], skipped);
    object->WriteToJson(false);
    outputs.push_back(std::move(object->json));
  }
  return outputs;
}

// True when `final` (a key's value, or the whole output, after the reads)
// is what every earlier output held too: no read changed it.
bool NoReadChanged(const std::vector<Json::Value>& before, const Json::Value& final,
                   const char* key) {
  return std::all_of(before.begin(), before.end(), [&](const Json::Value& output) {
    return (key == nullptr ? output : output[key]) == final;
  });
}

// A case passes by what its reads did, not by what the object held anyway:
// when every read succeeds, each expected value must have been changed by
// one of them, unless the case marks it "unchanged". A mark must hold too.
void ExpectReadsChangedWhatIsChecked(const Json::Value& testCase, const std::string& className,
                                     const std::vector<Json::Value>& reads,
                                     const SkippedKeys& skipped, const Json::Value& written) {
  const Json::Value& unchanged = testCase["unchanged"];
  const bool wholeUnchanged = unchanged.isBool() && unchanged.asBool();
  const auto marked = [&](const std::string& key) {
    return wholeUnchanged ||
           (unchanged.isArray() &&
            std::find(unchanged.begin(), unchanged.end(), Json::Value(key)) != unchanged.end());
  };
  const std::vector<Json::Value> before = OutputsBeforeEachRead(className, reads, skipped);
  const auto check = [&before](const Json::Value& value, const char* key, bool markedUnchanged,
                               const std::string& what) {
    const bool changed = !NoReadChanged(before, value, key);
    if (changed && markedUnchanged) {
      ADD_FAILURE() << what << " is marked unchanged, but a read changed it";
    } else if (!changed && !markedUnchanged) {
      ADD_FAILURE() << what << ": no read changed it (a case showing that it stays marks it "
                    << "\"unchanged\")";
    }
  };
  if (testCase.isMember("written")) check(written, nullptr, wholeUnchanged, "\"written\"");
  for (const std::string& key : testCase["writtenIncludes"].getMemberNames()) {
    check(written[key], key.c_str(), marked(key), "key " + key);
  }
}

// What a case's reads made must survive being written and read again: a
// new object reading the output writes the same output.
void ExpectReadsBack(const Json::Value& testCase, const std::string& className,
                     const Json::Value& written) {
  auto object = MakeModelObject(className);
  const int code = object->ReadFromJson(written, NoSkippedKeys());
  object->WriteToJson(false);
  const bool readsBack = code == 0 && Compact(object->json) == Compact(written);
  if (!testCase.get("readsBack", true).asBool()) {
    EXPECT_FALSE(readsBack) << "marked \"readsBack\": false, but the output reads back";
  } else {
    EXPECT_TRUE(readsBack) << "the output does not read back: code " << code << " "
                           << object->errorMessage << "\n  wrote      " << Compact(written)
                           << "\n  read back  " << Compact(object->json);
  }
}

// Copies and assignments read on their own: one made from a new object
// reads as the object did, and reads into one made from the object after
// its reads hold what it held and leave the object as it was.
void ExpectCopiesReadOnTheirOwn(const std::string& className, const std::vector<Json::Value>& reads,
                                const SkippedKeys& skipped, QV_ParameterFieldBase& object,
                                int code) {
  const std::string written = Compact(object.json);
  for (const Making how : {Making::kCopy, Making::kAssign}) {
    SCOPED_TRACE(how == Making::kCopy ? "a copy" : "an assigned object");
    const auto fresh = MakeModelObject(className);
    const auto early = MakeModelObject(className, how, fresh.get());
    int earlyCode = 0;
    for (const Json::Value& value : reads) earlyCode = early->ReadFromJson(value, skipped);
    EXPECT_EQ(earlyCode, code);
    EXPECT_EQ(early->errorMessage, object.errorMessage);
    early->WriteToJson(false);
    EXPECT_EQ(Compact(early->json), written);

    const auto late = MakeModelObject(className, how, &object);
    late->WriteToJson(false);
    EXPECT_EQ(Compact(late->json), written);
    for (const Json::Value& value : reads) late->ReadFromJson(value, skipped);
    object.WriteToJson(false);
    EXPECT_EQ(Compact(object.json), written) << "a read into a copy changed the original";
  }
}

void RunCase(const Json::Value& testCase, const std::string& fileClass) {
  const std::string className = testCase.get("class", fileClass).asString();
  auto object = MakeModelObject(className);
  ASSERT_TRUE(object) << "no class named " << className;

  SkippedKeys skipped;
  for (const Json::Value& key : testCase["skip"]) skipped.push_back(key.asString());
  std::vector<Json::Value> reads;
  if (testCase.isMember("read")) reads.push_back(testCase["read"]);
  for (const Json::Value& value : testCase["reads"]) reads.push_back(value);

  int code = 0;
  bool allSucceeded = !reads.empty();
  for (const Json::Value& value : reads) {
    code = object->ReadFromJson(value, skipped);
    allSucceeded = allSucceeded && code == 0;
  }
  EXPECT_EQ(code, testCase.get("code", 0).asInt()) << "message: " << object->errorMessage;
  if (testCase.isMember("message")) {
    EXPECT_EQ(object->errorMessage, testCase["message"].asString());
  }

  object->WriteToJson(false);
  const Json::Value& written = object->json;
  const bool checksOutput = testCase.isMember("written") || testCase.isMember("writtenIncludes");
  if (testCase.isMember("written")) {
    EXPECT_EQ(Compact(written), Compact(testCase["written"]));
  }
  for (const std::string& key : testCase["writtenIncludes"].getMemberNames()) {
    EXPECT_EQ(Compact(written[key]), Compact(testCase["writtenIncludes"][key])) << "key " << key;
  }
  ExpectCopiesReadOnTheirOwn(className, reads, skipped, *object, code);
  if (allSucceeded) {
    if (checksOutput) ExpectReadsChangedWhatIsChecked(testCase, className, reads, skipped, written);
    ExpectReadsBack(testCase, className, written);
  }
}

int SectionKindOf(const std::string& key) {
  const SectionSpec* section = FindSectionSpec(key);
  return section == nullptr ? kNoCollection : section->collection;
}

QV_ParameterFieldBase* FindEntry(QV_LMFParameter& document, const std::string& key,
                                 const std::string& name) {
  if (key == "GlobalParameter") {
    return document.globalParameter->name == name ? document.globalParameter.Get() : nullptr;
  }
  const SectionMap& map = document.GetSectionMap(SectionKindOf(key));
  const auto found = map.find(name);
  return found == map.end() ? nullptr : found->second.Get();
}

void ExpectIncludes(const Json::Value& actual, const Json::Value& expected,
                    const std::string& path) {
  if (expected.isObject() && actual.isObject()) {
    for (const std::string& key : expected.getMemberNames()) {
      ExpectIncludes(actual[key], expected[key], path + "." + key);
    }
  } else if (expected.isArray() && actual.isArray() && expected.size() == actual.size()) {
    for (Json::ArrayIndex i = 0; i < expected.size(); ++i) {
      ExpectIncludes(actual[i], expected[i], path + "[" + std::to_string(i) + "]");
    }
  } else {
    EXPECT_EQ(Compact(actual), Compact(expected)) << path;
  }
}

int RunStep(QV_LMFParameter& document, const Json::Value& step) {
  const bool append = step.isMember("append");
  const Json::Value& value = step[append ? "append" : "read"];
  const std::string text = value.isString() ? value.asString() : Compact(value);
  const char* content = value.isNull() ? nullptr : text.c_str();
  return append ? document.AppendFromString(content) : document.ReadFromString(content);
}

void RunDocumentCase(const Json::Value& testCase) {
  QV_LMFParameter document;
  Json::Value steps = testCase["steps"];
  if (testCase.isMember("text")) {
    Json::Value read;
    read["read"] = testCase["text"];
    read["code"] = testCase.get("code", 0);
    steps.append(read);
  }
  for (const Json::Value& step : steps) {
    SCOPED_TRACE(Compact(step).substr(0, 200));
    EXPECT_EQ(RunStep(document, step), step.get("code", 0).asInt())
        << "message: " << document.message;
    if (step.isMember("message")) {
      EXPECT_EQ(document.message, step["message"].asString());
    }
  }
  if (testCase.isMember("message")) {
    EXPECT_EQ(document.message, testCase["message"].asString());
  }
  for (const std::string& key : testCase["sections"].getMemberNames()) {
    Json::Value names(Json::arrayValue);
    for (const auto& entry : document.GetSectionMap(SectionKindOf(key))) names.append(entry.first);
    EXPECT_EQ(Compact(names), Compact(testCase["sections"][key])) << key;
  }
  for (const std::string& key : testCase["entries"].getMemberNames()) {
    for (const std::string& name : testCase["entries"][key].getMemberNames()) {
      QV_ParameterFieldBase* entry = FindEntry(document, key, name);
      if (entry == nullptr) {
        ADD_FAILURE() << "no entry " << key << ":" << name;
        continue;
      }
      entry->WriteToJson(false);
      ExpectIncludes(entry->json, testCase["entries"][key][name], key + ":" + name);
    }
  }
  if (testCase.isMember("firstTemplate")) {
    EXPECT_EQ(document.firstTemplateName, testCase["firstTemplate"].asString());
  }
  if (testCase.isMember("taskKinds")) {
    Json::Value kinds(Json::objectValue);
    for (const auto& [name, kind] : document.taskNameKinds) kinds[name] = kind;
    EXPECT_EQ(Compact(kinds), Compact(testCase["taskKinds"]));
  }
}

TemplateFormat StandInFormat(std::string_view text) {
  if (text.empty()) return TemplateFormat::NotJson;
  if (text.starts_with("converted:")) return TemplateFormat::Current;
  if (text.starts_with("other:")) return TemplateFormat::OtherJson;
  return TemplateFormat::Legacy;
}

TemplateConversion StandInConversion(const std::string& text, const ConversionRequest& request) {
  TemplateConversion result;
  if (StandInFormat(text) == TemplateFormat::NotJson) {
    result.failure = Failure::OfCode(errors::kJsonParseFailed);
  } else if (StandInFormat(text) != TemplateFormat::Legacy) {
    result.failure = Failure::Of(errors::kJsonTypeInvalid, "The file is not a legacy template.");
    result.alreadyCurrent = StandInFormat(text) == TemplateFormat::Current;
  } else if (text == "unchecked" && request.check) {
    result.failure = Failure::OfCode(errors::kJsonKeyInvalid);
    result.checkFailed = true;
  } else {
    result.outputText = "converted:" + text;
  }
  return result;
}

void MakeTree(const TempTree& tree, const Json::Value& entries) {
  for (const std::string& path : entries.getMemberNames()) {
    const Json::Value& entry = entries[path];
    if (entry.isString()) {
      tree.WriteFile(path, entry.asString());
    } else if (entry.isMember("size")) {
      tree.MakeSparseFile(path, entry["size"].asUInt64());
    } else if (entry.isMember("link")) {
      tree.MakeSymlink(entry["link"].asString(), path);
    } else if (entry.isMember("fifo")) {
      tree.MakeFifo(path);
    } else {
      tree.MakeDirectory(path);
    }
  }
}

// A string, or a list of lines each ended by a newline.
std::string TextOf(const Json::Value& value) {
  if (!value.isArray()) return value.asString();
  std::string text;
  for (const Json::Value& line : value) text += line.asString() + "\n";
  return text;
}

void RunProgramCase(const Json::Value& testCase, const Json::Value& file) {
  TempTree tree;
  MakeTree(tree, file["tree"]);
  WorkingDirectory inside(tree.Root());
  std::vector<std::string> words = {file["run"].asString()};
  for (const Json::Value& word : testCase["arguments"]) words.push_back(word.asString());
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  const int argc = static_cast<int>(argv.size());
  const std::string input = testCase.get("input", "KEY").asString();
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = words[0] == "lumiflow-check"
                         ? RunTemplateCheck(argc, argv.data(), out, err, &in)
                         : RunConverter(argc, argv.data(), in, out, err,
                                        {StandInConversion, StandInFormat},
                                        testCase.get("terminal", false).asBool());
  EXPECT_EQ(status, testCase.get("status", 0).asInt());
  if (testCase.isMember("outStart")) {
    const std::string start = testCase["outStart"].asString();
    EXPECT_EQ(out.str().substr(0, start.size()), start);
  } else {
    EXPECT_EQ(out.str(), TextOf(testCase["out"]));
  }
  EXPECT_EQ(err.str(), TextOf(testCase["err"]));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            testCase.get("unread", input).asString());
  for (const std::string& path : testCase["files"].getMemberNames()) {
    const Json::Value& content = testCase["files"][path];
    EXPECT_EQ(FileText(path), content.isNull() ? "<missing>" : content.asString()) << path;
  }
}

class CaseFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CaseFile, EveryCaseHolds) {
  const Json::Value file = ParseJson(FileText(GetParam()));
  const std::string fileClass = file.get("class", "").asString();
  ASSERT_TRUE(file["cases"].isArray() && !file["cases"].empty()) << "no cases";
  for (const Json::Value& testCase : file["cases"]) {
    SCOPED_TRACE(testCase["name"].asString());
    if (file.isMember("run")) {
      RunProgramCase(testCase, file);
    } else if (file.get("document", false).asBool()) {
      RunDocumentCase(testCase);
    } else {
      RunCase(testCase, fileClass);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Data, CaseFile, ::testing::ValuesIn(CaseFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return CaseFileLabel(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CaseFile);

}  // namespace
}  // namespace quorvane::testing
