// placeholder so the engine library has a source until the host layer lands
namespace engine_placeholder { int unused = 0; }
