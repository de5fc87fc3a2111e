/* Converts one legacy template file to standard output with the C API:
 *   convert_c old.json > new.json */
#include <stdio.h>
#include <stdlib.h>

#include <lumiflow/lumiflow.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: convert_c LEGACY.json\n");
    return 2;
  }
  FILE* file = fopen(argv[1], "rb");
  if (file == NULL) {
    perror(argv[1]);
    return 1;
  }
  char* text = NULL;
  size_t length = 0;
  char buffer[65536];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) {
    char* grown = realloc(text, length + count);
    if (grown == NULL) return 1;
    text = grown;
    for (size_t i = 0; i < count; ++i) text[length + i] = buffer[i];
    length += count;
  }
  fclose(file);

  lumiflow_result* result = lumiflow_convert(text, length);
  free(text);
  if (result == NULL) return 1;
  int status = 0;
  size_t size = 0;
  if (lumiflow_result_ok(result)) {
    const char* output = lumiflow_result_output(result, &size);
    fwrite(output, 1, size, stdout);
  } else {
    fprintf(stderr, "%s: %d: %s\n", argv[1], lumiflow_result_code(result),
            lumiflow_result_message(result, NULL));
    status = 1;
  }
  lumiflow_result_free(result);
  return status;
}
