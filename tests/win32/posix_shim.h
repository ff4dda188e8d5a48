// The few POSIX calls that the shared tests use to set up their folders and
// environment, for their Windows build (force-included there; never in
// shipped code).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
char* mkdtemp(char* pattern);

#ifdef __cplusplus
}
#endif
