;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	score 33381d
#define	lives 33383d
#define	begin 33385d
#define	begin 33387d
#define	egin  33389d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld hl, (score)
	inc hl
	ld (score), hl
