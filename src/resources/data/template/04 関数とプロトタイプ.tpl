/* 関数を作って使う: 使う前にプロトタイプ宣言を書いておく */
#include <stdio.h>

int max(int x, int y); /* プロトタイプ宣言 */

int main(void)
{
    printf("3 と 7 の大きいほう: %d\n", max(3, 7));
    return 0;
}

/* 2 つの整数のうち大きいほうを返す */
int max(int x, int y)
{
    if (x > y) {
        return x;
    }
    return y;
}
