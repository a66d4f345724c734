// Force-included into the program's sources. The standard library's prebuilt string code
// drags in C++ exception handling, its unwinder and a thread library, several times the size
// of the program itself; instantiating the templates here, where exceptions are off, does not.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
