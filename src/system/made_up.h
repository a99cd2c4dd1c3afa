#pragma once

namespace discstart {

// File systems (statfs's f_type on Linux) whose files the kernel makes up as they are read:
// their sizes mean nothing, and some read without end. Header-only: the disc's start program,
// which links the C library alone, asks it too.
constexpr bool MadeUpFileSystem(unsigned long type) {
    switch (type) {
        case 0x9FA0:      // proc
        case 0x62656572:  // sysfs
        case 0x64626720:  // debugfs
        case 0x74726163:  // tracefs
        case 0x73636673:  // securityfs
        case 0x27E0EB:    // cgroup
        case 0x63677270:  // cgroup2
        case 0xCAFE4A11:  // bpf
        case 0x62656570:  // configfs
        case 0x6165676C:  // pstore
        case 0xDE5E81E4:  // efivarfs
        case 0x65735543:  // fusectl
        case 0x42494E4D:  // binfmt_misc
        case 0xF97CFF8C:  // selinuxfs
        case 0x43415D53:  // smackfs
        case 0x6E736673:  // nsfs
            return true;
        default:
            return false;
    }
}

}  // namespace discstart
