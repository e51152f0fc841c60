#pragma once

class CArchive;

// The framework's root class: a virtual destructor and serialisation.
class CObject {
public:
    virtual ~CObject() = default;
    virtual void Serialize(CArchive&) {}
};
