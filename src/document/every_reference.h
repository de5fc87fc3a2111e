#pragma once

// Every name one section of a template gives to another, followed. Reading a
// template checks the names the document itself needs; this follows the
// rest too (the image parameters and format specifications a task names,
// the tasks a semantic setting's filter names, the bases of tasks and
// format specifications), for a checker that must not pass a template a
// reading engine would find a dangling name in. Which keys name which kind
// of section is said by the mappings of the classes (RefersTo).

#include <string>

#include "document/template_document.h"
#include "framework/failure.h"

namespace quorvane {

// For a document that has read its text without error, and whose sections
// that it reads apart (tasks, format specifications) each read without
// error too: the first section, in the order of the section table and of
// each array, whose chain of bases comes back to a name on it or reaches a
// name no section of its kind has (-10033, section key + " has invalid
// baseName."), or one of whose keys names a section that no section of that
// kind answers to (-10037, "<kind> name:" + name + " referenced in " + the
// section's type name + ":" + its name, then where the key stands, + " is
// undefined"). A name answers when the text has a section of that kind by
// that name, or when it is one the document provides itself: a default
// entry ("ip_default", "roi_default", "Default") or a default task name. No
// failure when every name answers.
Failure CheckEveryReference(const QV_LMFParameter& document);

}  // namespace quorvane
