#pragma once
// Work that needs a large library of its own (ZIP packing: libzip and the cryptography
// library it brings; HTTP: QtNetwork and Kerberos) lives in modules of the program, which
// are loaded the first time they are needed: the program starts without loading those
// libraries, which took longer than anything else before its window showed.
//
// A module "tavrel-zip" is the file tavrel-zip.so (tavrel-zip.dll on Windows) in the
// program's module folder: lib/tavrel/modules beside the folder of the executable, whether it is
// installed (bin/ and libexec/tavrel/ under the same prefix) or in the build tree.
#include <QString>
#include <QtGlobal>

// The address of the module's `function`; the module stays loaded from then on. Safe to
// call from any thread. Throws TavrelError naming the module and the reason.
QFunctionPointer ModuleFunction(const char *module, const char *function);

// The typed form: ModuleFunctionAs<ZipOpenFunction>("tavrel-zip", "TavrelZipOpen").
template <typename Function>
Function *ModuleFunctionAs(const char *module, const char *function)
{
    return reinterpret_cast<Function *>(ModuleFunction(module, function));
}
