/* The floor of the FastCGI path: a libfcgi program that only answers a fixed
   redirect, with the same command line as counter.fcgi (descriptor 0, or
   --listen ADDRESS). Whatever the counter costs above this is its own work. */
#include <fcgiapp.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  static const char answer[] = "Location: http://example.com/\n\n";
  if (FCGX_Init() != 0) return 1;
  int socket = 0;
  if (argc == 3 && strcmp(argv[1], "--listen") == 0) {
    socket = FCGX_OpenSocket(argv[2], 128);
  } else if (argc != 1) {
    fprintf(stderr, "usage: %s [--listen ADDRESS]\n", argv[0]);
    return 2;
  }
  if (socket < 0) return 2;
  FCGX_Request request;
  FCGX_InitRequest(&request, socket, 0);
  while (FCGX_Accept_r(&request) >= 0) {
    FCGX_PutStr(answer, (int)sizeof answer - 1, request.out);
    FCGX_Finish_r(&request);
  }
  return 0;
}
