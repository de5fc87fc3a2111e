/* The extension under the Python package lumiflow: each function calls the
 * library's C API with the interpreter's lock released, and hands back its
 * result as a tuple (ok, code, message, output, report) for the package to
 * dress. Texts come as str (taken as UTF-8) or bytes. */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "lumiflow/lumiflow.h"

/* The bytes of `text`, which stays alive (and unchanged) for the call. */
static int TextBytes(PyObject* text, const char** data, Py_ssize_t* size) {
  if (PyUnicode_Check(text)) {
    *data = PyUnicode_AsUTF8AndSize(text, size);
    return *data != NULL;
  }
  if (PyBytes_Check(text)) {
    *data = PyBytes_AS_STRING(text);
    *size = PyBytes_GET_SIZE(text);
    return 1;
  }
  PyErr_Format(PyExc_TypeError, "a template is str or bytes, not %.100s", Py_TYPE(text)->tp_name);
  return 0;
}

static PyObject* Text(const char* data, size_t size) {
  return PyUnicode_DecodeUTF8(data, (Py_ssize_t)size, "replace");
}

/* The result as (ok, code, message, output, report), freed either way. */
static PyObject* ResultTuple(lumiflow_result* result) {
  if (result == NULL) return PyErr_NoMemory();
  size_t messageSize = 0;
  size_t outputSize = 0;
  size_t reportSize = 0;
  const char* message = lumiflow_result_message(result, &messageSize);
  const char* output = lumiflow_result_output(result, &outputSize);
  const char* report = lumiflow_result_report(result, &reportSize);
  PyObject* tuple = Py_BuildValue("(NiNNN)", PyBool_FromLong(lumiflow_result_ok(result)),
                                  lumiflow_result_code(result), Text(message, messageSize),
                                  Text(output, outputSize), Text(report, reportSize));
  lumiflow_result_free(result);
  return tuple;
}

static PyObject* Convert(PyObject* self, PyObject* text) {
  (void)self;
  const char* data = NULL;
  Py_ssize_t size = 0;
  if (!TextBytes(text, &data, &size)) return NULL;
  lumiflow_result* result;
  Py_BEGIN_ALLOW_THREADS
  result = lumiflow_convert(data, (size_t)size);
  Py_END_ALLOW_THREADS
  return ResultTuple(result);
}

static PyObject* Check(PyObject* self, PyObject* args) {
  (void)self;
  PyObject* text = NULL;
  int strict = 0;
  if (!PyArg_ParseTuple(args, "Op", &text, &strict)) return NULL;
  const char* data = NULL;
  Py_ssize_t size = 0;
  if (!TextBytes(text, &data, &size)) return NULL;
  lumiflow_result* result;
  Py_BEGIN_ALLOW_THREADS
  result = lumiflow_check(data, (size_t)size, strict);
  Py_END_ALLOW_THREADS
  return ResultTuple(result);
}

static PyObject* Schema(PyObject* self, PyObject* unused) {
  (void)self;
  (void)unused;
  return ResultTuple(lumiflow_schema());
}

static PyObject* Version(PyObject* self, PyObject* unused) {
  (void)self;
  (void)unused;
  return PyUnicode_FromString(lumiflow_version());
}

static PyMethodDef kMethods[] = {
    {"convert", Convert, METH_O, "convert(text) -> (ok, code, message, output, report)"},
    {"check", Check, METH_VARARGS, "check(text, strict) -> (ok, code, message, output, report)"},
    {"schema", Schema, METH_NOARGS, "schema() -> (ok, code, message, output, report)"},
    {"version", Version, METH_NOARGS, "version() -> str"},
    {NULL, NULL, 0, NULL}};

static struct PyModuleDef kModule = {PyModuleDef_HEAD_INIT, "_lumiflow",
                                     "The library's C API, for the lumiflow package.", -1,
                                     kMethods, NULL, NULL, NULL, NULL};

PyMODINIT_FUNC PyInit__lumiflow(void) { return PyModule_Create(&kModule); }
