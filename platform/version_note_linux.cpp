// The four-part file version, kept in an ELF note of its own so that it can be read from any file
// by path without running it: owner "Vymera", type 1, four 32-bit words (major, minor, build,
// revision). The numbers come from the build; every program and shared library links this object.

#define VYMERA_STR2(x) #x
#define VYMERA_STR(x) VYMERA_STR2(x)

__asm__(
    ".pushsection .note.vymera.version,\"a\",@note\n"
    ".balign 4\n"
    ".long 7\n"   // name size, "Vymera" and its NUL
    ".long 16\n"  // descriptor size
    ".long 1\n"   // note type: file version
    ".asciz \"Vymera\"\n"
    ".balign 4\n"
    ".long " VYMERA_STR(VYMERA_VERSION_MAJOR) "\n"
    ".long " VYMERA_STR(VYMERA_VERSION_MINOR) "\n"
    ".long " VYMERA_STR(VYMERA_VERSION_BUILD) "\n"
    ".long " VYMERA_STR(VYMERA_VERSION_REVISION) "\n"
    ".popsection\n");
