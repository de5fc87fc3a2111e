/* The converter as a library: convert a legacy settings template text into
 * a capture-flow template, check a template, get the schema of templates.
 *
 * Texts go in and come out as UTF-8 bytes with explicit lengths. Every call
 * is safe from any number of threads at once and keeps no state between
 * calls; none throws, aborts or prints. Each call returns a result that the
 * caller frees with lumiflow_result_free; a null result means that the
 * memory for it could not be had. */
#ifndef LUMIFLOW_LUMIFLOW_H
#define LUMIFLOW_LUMIFLOW_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define LUMIFLOW_API __attribute__((visibility("default")))
#else
#define LUMIFLOW_API
#endif

/* What a call gave: a success or a failure with its code and message, an
 * output text and a report entry. */
typedef struct lumiflow_result lumiflow_result;

/* The version of the library, such as "1.0.0". */
LUMIFLOW_API const char* lumiflow_version(void);

/* Converts one legacy template. On success the output is the converted
 * template, byte for byte what lumiflow-convert writes. On failure the code
 * is negative and the message is what the converter prints for the file
 * after its "Fail to read Old Template" line (a template already in the
 * current format fails with -10031 and "The file is already in the current
 * format."). The report is the file's entry of lumiflow-convert's JSON
 * report, without the paths: its status, and the names the conversion
 * gave, the keys not carried over and the values changed, or the failure. */
LUMIFLOW_API lumiflow_result* lumiflow_convert(const char* text, size_t length);

/* Checks one current-format template as lumiflow-check does (with
 * `strict` non-zero, as lumiflow-check --strict). The message is the
 * checker's, its lines kept; the output is empty; the report is a JSON
 * object with "status" ("passed" or "failed") and, for a failure, "code"
 * and "message". */
LUMIFLOW_API lumiflow_result* lumiflow_check(const char* text, size_t length, int strict);

/* The JSON Schema of a template, as lumiflow-check --schema prints it, as
 * the output of a result that always succeeds. */
LUMIFLOW_API lumiflow_result* lumiflow_schema(void);

/* Non-zero for a success. */
LUMIFLOW_API int lumiflow_result_ok(const lumiflow_result* result);
/* 0 for a success, else the negative code of the failure. */
LUMIFLOW_API int lumiflow_result_code(const lumiflow_result* result);
/* Each gives its text and, when `length` is not null, its length in bytes;
 * the text is also ended by a NUL byte, valid until the result is freed,
 * and empty when there is none. */
LUMIFLOW_API const char* lumiflow_result_message(const lumiflow_result* result, size_t* length);
LUMIFLOW_API const char* lumiflow_result_output(const lumiflow_result* result, size_t* length);
LUMIFLOW_API const char* lumiflow_result_report(const lumiflow_result* result, size_t* length);
/* Frees a result; null is ignored. */
LUMIFLOW_API void lumiflow_result_free(lumiflow_result* result);

#ifdef __cplusplus
}
#endif

#endif /* LUMIFLOW_LUMIFLOW_H */
