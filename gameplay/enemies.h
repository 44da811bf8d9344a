// The walking enemies: patrols that turn at walls and ledges, contact with
// the hero (stomp, hurt, invincible kill), the dig bomb and the shake kill.
#pragma once

#include <cstdint>

struct GameObject;

extern int32_t enemiesKilled;  // enemies killed this stage (score tally)

// Once per frame in Playing, EpisodeEnd and GameOver, after the physics pass
// and before UpdateHero. Nothing while Paused.
void UpdateEnemies();
// One step of a walker at a fixed speed per update (not scaled by time).
void UpdateWalker(GameObject* hero, GameObject* enemy, float speed, bool makesDust);
// Bomb, invincible, stomp and hurt tests; true when the contact ended this
// enemy's turn. hero may be null.
bool HeroEnemyContact(GameObject* hero, GameObject* enemy, int32_t dx, int32_t dy);
// Starts the enemy's death fall, counts it and leaves a poof. An enemy that
// is already dying is left alone.
void KillEnemy(GameObject* enemy);
// Removes enemy poofs older than 90 ms.
void ExpirePoofs();
