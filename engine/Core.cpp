#include "engine/Core.h"

#include <stdexcept>

namespace app {

// Being written: the operations below are not implemented yet and throw.
struct CoreMember {};

Core::Core() : Member(new CoreMember) {}
Core::~Core() = default;

namespace {
[[noreturn]] void NotYet() { throw std::logic_error("particle engine not implemented yet"); }
} // namespace

void Core::SetPictureSize(int32_t, int32_t) { NotYet(); }
void Core::SetMode(int32_t) { NotYet(); }
int32_t Core::GetMode() const { NotYet(); }
void Core::Turn(Image &) { NotYet(); }
void Core::Draw(Image &) { NotYet(); }
void Core::ComputeForces() { NotYet(); }
void Core::Move() { NotYet(); }
void Core::AddParticle(const EMIT_REQUEST &) { NotYet(); }
int32_t Core::RegisterSettings(const SPRAYSTYLE &) { NotYet(); }
void Core::ReleaseSettings(int32_t) { NotYet(); }
bool Core::HasParticles() const { NotYet(); }
void Core::EraseAllParticles() { NotYet(); }
const ParticleInfoList &Core::GetParticleInfos() const { NotYet(); }
int32_t Core::GetParticleCount() const { NotYet(); }
int32_t Core::GetColumns() const { NotYet(); }
int32_t Core::GetRows() const { NotYet(); }
int32_t Core::GetOffsetX() const { NotYet(); }
int32_t Core::GetOffsetY() const { NotYet(); }
int32_t Core::GetPictureWidth() const { NotYet(); }
int32_t Core::GetPictureHeight() const { NotYet(); }
const CELL &Core::GetCell(int32_t, int32_t) const { NotYet(); }
const unsigned char *Core::GetBrush(int32_t, int32_t) const { NotYet(); }
bool Core::InsertParticle(int32_t, int32_t, const PARTICLE &) { NotYet(); }

} // namespace app
