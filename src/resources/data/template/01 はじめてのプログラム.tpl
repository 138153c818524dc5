/* はじめてのプログラム: 画面に文字を表示する */
#include <stdio.h>

int main(void)
{
    printf("こんにちは、世界!\n"); /* \n は改行 */
    return 0; /* 0 を返すと「正常に終了した」という意味 */
}
