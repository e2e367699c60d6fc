#pragma once
// The library is built with hidden symbols; what carries VELLIX_API is its
// public interface, the only part an application can link against.

#define VELLIX_API __attribute__((visibility("default")))
