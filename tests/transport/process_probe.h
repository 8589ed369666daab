#pragma once

#include <QString>

// Looks at this process from outside the code under test, through /proc.

// How many open descriptors of this process lead to path.
int OpenDescriptorsOf(const QString& path);

// How many threads of this process carry the name.
int ThreadsNamed(const QString& name);

// The same once no thread of that name is left, or after a second. A joined
// thread can still be listed for a moment while the kernel finishes its
// exit, after the join has returned.
int ThreadsNamedOnceGone(const QString& name);
